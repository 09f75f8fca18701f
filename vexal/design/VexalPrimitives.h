// The drawing primitives of a Vexal design: tracks ("line"), arcs, texts,
// pads, vias and placed patterns (components), and the annotation objects
// that are read and dropped.
//
// Each primitive's Translate makes its host object, adds it to Container
// (the board, or a component when the object belongs to a pattern
// definition) and, when its net name names a net of the board, to that net.
// The creating group sets Layer and Container first.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "vexal/design/VexalDesign.h"

class TPcbText;

class TVexalArc : public TVexalDrawObject {
 public:
  using TVexalDrawObject::TVexalDrawObject;
  void Parse() override;
  // Nothing on layer 0.
  void Translate() override;

  TVexalPoint Centre;
  int32_t Radius = 0;
  double StartAngle = 0.0;
  double SweepAngle = 0.0;
  int32_t Width = 0;
  bool Flipped = false;
  std::string NetName;
};

class TVexalLine : public TVexalDrawObject {
 public:
  using TVexalDrawObject::TVexalDrawObject;
  // The first "pt" is the start, every later one replaces the end.
  void Parse() override;
  // A track; nothing on layer 0.
  void Translate() override;

  TVexalPoint Start;
  TVexalPoint End;
  int32_t Width = 100000;  // 10 mil
  uint8_t StartEndStyle = 0;  // 1 left lead, 2 right lead, 3 rounded, 4 two leads
  uint8_t EndEndStyle = 0;
  uint8_t LineStyle = 0;  // 0 solid, 1 dotted, 2 dashed
  bool Flipped = false;
  std::string NetName;

 private:
  bool HasStart = false;
};

class TVexalText : public TVexalDrawObject {
 public:
  using TVexalDrawObject::TVexalDrawObject;
  void Parse() override;
  // One host text per line (lines end at carriage returns); the text is
  // consumed line by line. Nothing on layer 0.
  void Translate() override;

  TVexalPoint Position;
  std::string Text;
  double Rotation = 0.0;
  bool Flipped = false;
  uint8_t Justification = 6;
  std::string TextStyleName;
  TVexalPoint Extent;

 private:
  void TranslateLine();
};

// Moves a host text by its justification code (0 to 8) from the bounding
// rectangle the host gives it. A flipped text object is mirrored with its
// rotation turned to 360 - rotation; a flipped designator of a placed
// pattern moves right by its width instead.
// The wrapper is read first and holds the text's values afterwards.
void JustifyText(TPcbText& text, int justification, bool flipped, bool designator);

class TVexalPad : public TVexalDrawObject {
 public:
  using TVexalDrawObject::TVexalDrawObject;
  void Parse() override;
  // Made whatever Layer is: on MultiLayer, or on one side when only one
  // side has a shape.
  void Translate() override;

  std::string PadNumber;
  std::string PadStyleName;
  TVexalPoint Position;
  double Rotation = 0.0;
  bool Flipped = false;
  std::string NetName;
};

class TVexalVia : public TVexalDrawObject {
 public:
  using TVexalDrawObject::TVexalDrawObject;
  void Parse() override;
  // Made whatever Layer is.
  void Translate() override;

  std::string ViaStyleName;
  TVexalPoint Position;
  double Rotation = 0.0;
  bool Flipped = false;
  std::string NetName;
};

// A placed pattern: a host component drawn from the library's pattern
// definition, with its designator and comment texts.
class TVexalPattern : public TVexalDrawObject {
 public:
  using TVexalDrawObject::TVexalDrawObject;
  // Inside "patternGraphicsRef", a "patternGraphicsNameRef" other than the
  // pattern's graphics name ends the group: its later attributes belong to
  // other graphics and are skipped.
  void Parse() override;
  // Made whatever Layer is; nothing when the library has no pattern
  // definition for it.
  void Translate() override;

  std::string PatternRef;
  std::string Designator;
  std::string GraphicsName;
  TVexalPoint Position;
  double Rotation = 0.0;
  bool Flipped = false;
  bool Fixed = false;
  TVexalAttrList Attributes;
};

// ---- Objects that are read and never translated ----------------------------------------

class TVexalLineKeepOut : public TVexalDrawObject {
 public:
  using TVexalDrawObject::TVexalDrawObject;
  void Parse() override;
  void Translate() override {}
  TVexalPoint Start;
  TVexalPoint End;

 private:
  bool HasStart = false;
};

class TVexalDetail : public TVexalDrawObject {
 public:
  using TVexalDrawObject::TVexalDrawObject;
  void Parse() override;
  void Translate() override {}
  TVexalPoint Extent;
  std::string FileName;
  TVexalPoint Position;
  std::string Subtitle;
  std::string TextStyleName;
  std::string Title;
};

class TVexalFromTo : public TVexalDrawObject {
 public:
  using TVexalDrawObject::TVexalDrawObject;
  void Parse() override;
  void Translate() override {}
  std::string NetName;
  std::vector<TVexalPoint> Points;
};

// "gluePoint" and "pickPoint".
class TVexalMarkPoint : public TVexalDrawObject {
 public:
  using TVexalDrawObject::TVexalDrawObject;
  void Parse() override;
  void Translate() override {}
  TVexalPoint Position;
  bool Flipped = false;
  bool Visible = true;
};
class TVexalGluePoint : public TVexalMarkPoint {
 public:
  using TVexalMarkPoint::TVexalMarkPoint;
};
class TVexalPickPoint : public TVexalMarkPoint {
 public:
  using TVexalMarkPoint::TVexalMarkPoint;
};

class TVexalInfoPoint : public TVexalDrawObject {
 public:
  using TVexalDrawObject::TVexalDrawObject;
  void Parse() override;
  void Translate() override {}
  TVexalPoint Position;
  int32_t Clearance = 0;
  std::string Description;
  std::string RuleCategory;
  std::string RuleType;
  int32_t ViolationNumber = 0;
  int32_t Severity = 0;
  uint8_t ViolationType = 2;  // 0 error, 1 warning, 2 ignored, 3 overridden
};

class TVexalTable : public TVexalDrawObject {
 public:
  using TVexalDrawObject::TVexalDrawObject;
  void Parse() override;
  void Translate() override {}
  TVexalPoint Position;
  TVexalPoint Extent;
  double Rotation = 0.0;
  int32_t Width = 0;
  std::string Title;
  std::string TextStyleName;
  uint8_t TableType = 0;
  uint8_t TableInfo = 2;
};
