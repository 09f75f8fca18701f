#include "vexal/design/VexalPrimitives.h"

#include <array>

#include "hostapi/HostPcbApi.h"
#include "hostapi/PcbObjects.h"
#include "vexal/design/VexalNetlist.h"
#include "vexal/design/VexalPolygons.h"
#include "vexal/reader/VexalLibrary.h"
#include "vexal/report/ReportManager.h"

namespace {

constexpr std::array<const char*, 9> kJustifications{"UpperLeft", "UpperCenter", "UpperRight",
                                                     "Left",      "Center",      "Right",
                                                     "LowerLeft", "LowerCenter", "LowerRight"};

// Joins the made object to the net of `netName` when the board has it.
void LookUpNet(TVexalObject& object, const std::string& netName) {
  if (!netName.empty()) object.Net = object.FindNetHandle(netName);
}

}  // namespace

// ---- Arc ---------------------------------------------------------------------------------

void TVexalArc::Parse() {
  ParseLoop([this](int32_t token) {
    switch (token) {
      case kwPt: Centre = ReadPoint(); return true;
      case kwRadius: Radius = ReadCoord(); return true;
      case kwStartAngle: StartAngle = ReadReal(); return true;
      case kwSweepAngle: SweepAngle = ReadReal(); return true;
      case kwWidth: Width = ReadCoord(); return true;
      case kwIsFlipped: Flipped = ReadBoolean(); return true;
      case kwNetNameRef: NetName = ReadString(); return true;
      default: return false;
    }
  });
}

void TVexalArc::Translate() {
  if (Layer == 0) return;
  HostObject = hostapi::PcbApi_CreateObject(okArc);
  if (HostObject == 0) return;
  {
    TPcbArc arc(HostObject);
    arc.Exchange(qdRead);
    arc.Layer = Layer;
    arc.X = Centre.X;
    arc.Y = Centre.Y;
    arc.Radius = Radius;
    arc.StartAngle = StartAngle;
    arc.EndAngle = StartAngle + SweepAngle;
    arc.Width = Width;
    LookUpNet(*this, NetName);
    arc.Exchange(qdWrite);
  }
  TVexalObject::Translate();
}

// ---- Line ---------------------------------------------------------------------------------

void TVexalLine::Parse() {
  static constexpr std::array<const char*, 5> kEndStyles{"", "LeftLeadEndStyle", "RightLeadEndStyle",
                                                         "RoundedEndStyle", "TwoLeadsEndStyle"};
  static constexpr std::array<const char*, 3> kLineStyles{"SolidLine", "DottedLine", "DashedLine"};
  ParseLoop([this](int32_t token) {
    switch (token) {
      case kwPt:
        if (HasStart) {
          End = ReadPoint();
        } else {
          Start = ReadPoint();
          HasStart = true;
        }
        return true;
      case kwWidth: Width = ReadCoord(); return true;
      case kwEndStyle: {
        const std::string word = ReadString();
        const int code = word.empty() ? -1 : WordCode(word, kEndStyles);
        if (code > 0) {
          if (StartEndStyle == 0)
            StartEndStyle = static_cast<uint8_t>(code);
          else
            EndEndStyle = static_cast<uint8_t>(code);
        }
        return true;
      }
      case kwStyle: ReadWordCode(*this, LineStyle, kLineStyles); return true;
      case kwIsFlipped: Flipped = ReadBoolean(); return true;
      case kwNetNameRef: NetName = ReadString(); return true;
      default: return false;
    }
  });
  if (StartEndStyle == 0) StartEndStyle = 3;
  if (EndEndStyle == 0) EndEndStyle = 3;
}

void TVexalLine::Translate() {
  if (Layer == 0) return;
  HostObject = hostapi::PcbApi_CreateObject(okTrack);
  if (HostObject == 0) return;
  {
    TPcbTrack track(HostObject);
    track.Exchange(qdRead);
    track.Layer = Layer;
    track.X = Start.X;
    track.Y = Start.Y;
    track.X2 = End.X;
    track.Y2 = End.Y;
    track.Width = Width;
    LookUpNet(*this, NetName);
    track.Exchange(qdWrite);
  }
  TVexalObject::Translate();
}

// ---- Text -----------------------------------------------------------------------------------

void TVexalText::Parse() {
  ParseLoop([this](int32_t token) {
    switch (token) {
      case tkQuotedString: Text = Parser->TokenText(); return true;
      case kwPt: Position = ReadPoint(); return true;
      case kwRotation: Rotation = ReadReal(); return true;
      case kwIsFlipped: Flipped = ReadBoolean(); return true;
      case kwJustify: ReadWordCode(*this, Justification, kJustifications); return true;
      case kwTextStyleRef: TextStyleName = ReadString(); return true;
      case kwExtent: Extent = ReadPoint(); return true;
      default: return false;
    }
  });
}

void JustifyText(TPcbText& text, int justification, bool flipped, bool designator) {
  text.Exchange(qdRead);
  int32_t x1 = 0, y1 = 0, x2 = 0, y2 = 0;
  hostapi::PcbApi_QueryObjectBoundingRectangle(text.Handle, &x1, &y1, &x2, &y2);
  // 64-bit differences: a rectangle the host gives may span the whole range.
  const int64_t width = int64_t{x2} - x1;
  const int64_t height = int64_t{y2} - y1;
  const int64_t halfWidth = int64_t{x2 / 2} - x1 / 2;
  const int64_t halfHeight = int64_t{y2 / 2} - y1 / 2;
  int64_t x = text.X;
  int64_t y = text.Y;
  switch (justification) {
    case 1: case 4: case 7: x -= halfWidth; break;
    case 2: case 5: case 8: x -= width; break;
    default: break;
  }
  switch (justification) {
    case 0: case 1: case 2: y -= height; break;
    case 3: case 4: case 5: y -= halfHeight; break;
    default: break;
  }
  if (flipped) {
    if (designator) {
      x += width;
    } else {
      text.Mirrored = 1;
      text.Rotation = 360.0 - text.Rotation;
    }
  }
  text.X = ClampToInt32(x);
  text.Y = ClampToInt32(y);
  text.Exchange(qdWrite);
}

void TVexalText::TranslateLine() {
  HostObject = hostapi::PcbApi_CreateObject(okText);
  // Without a host object the rest of the text is dropped: nothing can be made.
  std::string line;
  const size_t cr = Text.find('\r');
  if (cr == std::string::npos) {
    line = Text;
    Text.clear();
  } else {
    line = Text.substr(0, cr);
    size_t rest = cr + 1;
    if (rest < Text.size() && Text[rest] == '\n') ++rest;
    Text.erase(0, rest);
  }
  if (HostObject == 0) return;
  {
    TPcbText text(HostObject);
    text.Exchange(qdRead);
    text.Layer = Layer;
    text.Text = line.substr(0, 254);
    text.X = Position.X;
    text.Y = Position.Y;
    text.Rotation = Rotation;
    TTextFont font;
    if (FindTextFont(*this, TextStyleName, font)) {
      text.Font = font.Font;
      text.Height = font.Height;
      text.StrokeWidth = font.StrokeWidth;
      // The next line goes one font height lower.
      Position.Y = ClampToInt32(int64_t{Position.Y} - font.FontHeight);
    }
    text.Exchange(qdWrite);
  }
  // On the board for the host to measure it, then off again.
  if (Board != 0) hostapi::PcbApi_AddObjectToContainer(Board, HostObject);
  {
    TPcbText text(HostObject);
    JustifyText(text, Justification, Flipped, false);
  }
  if (Board != 0) hostapi::PcbApi_DeleteObjectFromContainer(Board, HostObject);
  TVexalObject::Translate();
}

void TVexalText::Translate() {
  if (Layer == 0) return;
  do {
    TranslateLine();
  } while (!Text.empty());
}

// ---- Pad ------------------------------------------------------------------------------------

void TVexalPad::Parse() {
  ParseLoop([this](int32_t token) {
    switch (token) {
      case kwPadNum: PadNumber = ReadString(); return true;
      case kwPadStyleRef: PadStyleName = ReadString(); return true;
      case kwPt: Position = ReadPoint(); return true;
      case kwRotation: Rotation = ReadReal(); return true;
      case kwIsFlipped: Flipped = ReadBoolean(); return true;
      case kwNetNameRef: NetName = ReadString(); return true;
      default: return false;
    }
  });
}

namespace {

struct TPadTriple {
  int32_t& XSize;
  int32_t& YSize;
  uint8_t& Shape;
};

// Sets one size-and-shape triple of a pad from a shape of its style; shapes
// the host cannot show become round with a warning.
void SetPadTriple(TVexalObject& pad, const TVexalPadShapeByLayer& shape, TPadTriple triple) {
  std::string warning;
  if (shape.ShapeType == kShapePolygon) {
    triple.XSize = shape.OutlineWidth();
    triple.YSize = shape.OutlineHeight();
    if (shape.Outline.size() == 8) {
      triple.Shape = psOctagonal;
    } else {
      triple.Shape = psRound;
      warning = "Polygon Pad Converted To Rounded Pad";
    }
  } else {
    triple.XSize = shape.ShapeWidth;
    triple.YSize = shape.ShapeHeight;
    triple.Shape = HostPadShape(shape.ShapeType);
    switch (shape.ShapeType) {
      case kShapeRndRect: case kShapeThrm2: case kShapeThrm2_90: case kShapeThrm4: case kShapeThrm4_45:
      case kShapeDirect: case kShapeNoConnect: case kShapeTarget: case kShapeMtHole:
        warning = PadShapeName(shape.ShapeType) + " Pad Converted To Rounded Pad";
        break;
      default: break;
    }
  }
  if (!warning.empty() && pad.Report) pad.Report->AddImportWarning(iwText, warning);
}

}  // namespace

void TVexalPad::Translate() {
  HostObject = hostapi::PcbApi_CreateObject(okPad);
  if (HostObject == 0) return;
  {
    TPcbPad pad(HostObject);
    pad.Exchange(qdRead);
    pad.Name = PadNumber.substr(0, 20);
    pad.Layer = MultiLayer;
    // A pad style the library does not have leaves the host's hole, sizes
    // and shapes, as a via keeps them.
    if (const TVexalPadStyleDef* style = Library ? Library->FindPadStyle(PadStyleName) : nullptr) {
      pad.HoleSize = style->HoleDiameter;
      for (const auto& shape : style->Shapes) {
        const uint8_t layer = HostLayerOf(*this, shape->LayerNumber);
        if (layer == TopLayer) SetPadTriple(*this, *shape, {pad.TopXSize, pad.TopYSize, pad.TopShape});
        if (layer == BottomLayer)
          SetPadTriple(*this, *shape, {pad.BottomXSize, pad.BottomYSize, pad.BottomShape});
        if (shape->LayerType == kLayerTypeSignal)
          SetPadTriple(*this, *shape, {pad.MidXSize, pad.MidYSize, pad.MidShape});
      }
    }
    // A pad with copper on one side only stands on that side.
    if (pad.TopXSize > 0 && pad.BottomXSize == 0) {
      pad.Layer = Flipped ? BottomLayer : TopLayer;
      pad.BottomXSize = pad.MidXSize = pad.TopXSize;
      pad.BottomYSize = pad.MidYSize = pad.TopYSize;
      pad.BottomShape = pad.MidShape = pad.TopShape;
    } else if (pad.BottomXSize > 0 && pad.TopXSize == 0) {
      pad.Layer = Flipped ? TopLayer : BottomLayer;
      pad.TopXSize = pad.MidXSize = pad.BottomXSize;
      pad.TopYSize = pad.MidYSize = pad.BottomYSize;
      pad.TopShape = pad.MidShape = pad.BottomShape;
    }
    pad.X = Position.X;
    pad.Y = Position.Y;
    pad.Rotation = Rotation;
    LookUpNet(*this, NetName);
    pad.Exchange(qdWrite);
  }
  TVexalObject::Translate();
}

// ---- Placed pattern ---------------------------------------------------------------------------

void TVexalPattern::Parse() {
  ParseLoop([this](int32_t token) {
    switch (token) {
      case kwPatternRef: PatternRef = ReadString(); return true;
      case kwRefDesRef: Designator = ReadString(); return true;
      case kwPatternGraphicsNameRef:
        if (Depth <= 2) {
          GraphicsName = ReadString();
        } else if (ReadString() != GraphicsName) {
          // The rest of the name's group, then the rest of the graphics group.
          SkipUnhandled();
          SkipUnhandled();
        }
        return true;
      case kwPatternGraphicsRef: return true;  // its attributes are the pattern's
      case kwPt: Position = ReadPoint(); return true;
      case kwRotation: Rotation = ReadReal(); return true;
      case kwIsFlipped: Flipped = ReadBoolean(); return true;
      case kwIsFixed: Fixed = ReadBoolean(); return true;
      case kwAttr:
        Attributes.push_back(std::make_unique<TVexalAttr>(this));
        ParseChild(*Attributes.back());
        return true;
      default: return false;
    }
  });
}

namespace {

// Where a component definition places a designator or comment text.
struct TTextPlacement {
  bool Present = false;
  TVexalPoint Position;
  double Rotation = 0.0;
  uint8_t Justification = 6;
  bool Visible = true;
  bool Flipped = false;
};

void TakePlacement(TTextPlacement& placement, const TVexalAttr& attribute) {
  placement.Present = true;
  placement.Position = attribute.Position;
  placement.Rotation = attribute.Rotation;
  placement.Justification = attribute.Justification;
  placement.Visible = attribute.Visible;
  placement.Flipped = attribute.Flipped;
}

}  // namespace

void TVexalPattern::Translate() {
  if (!Library) return;
  const std::string key = GraphicsName.empty() ? PatternRef : PatternRef + ":" + GraphicsName;
  TVexalPatternDef* definition = Library->FindPatternDef(key);
  if (!definition) return;
  HostObject = hostapi::PcbApi_CreateObject(okComponent);
  if (HostObject == 0) return;
  definition->Container = HostObject;
  definition->Translate();

  TPcbComponent component(HostObject);
  component.Exchange(qdRead);
  component.Pattern = definition->OriginalName.substr(0, 250);
  TPcbText designator(component.DesignatorText);
  TPcbText comment(component.CommentText);
  designator.Exchange(qdRead);
  comment.Exchange(qdRead);

  // Without a netlist the component has no reference and no value.
  std::string compRef, value;
  if (Netlist) {
    compRef = Netlist->CompRefOf(Designator);
    value = Netlist->CompValueOf(Designator);
  }

  TTextPlacement designatorPlacement, commentPlacement;
  if (const TVexalCompDef* compDef = Library->FindCompDef(compRef)) {
    for (const auto& object : compDef->Attributes) {
      const auto* attribute = dynamic_cast<const TVexalAttr*>(object.get());
      if (!attribute) continue;
      if (SameTextIgnoringCase(attribute->Name, "RefDes"))
        TakePlacement(designatorPlacement, *attribute);
      else if (SameTextIgnoringCase(attribute->Name, "Value"))
        TakePlacement(commentPlacement, *attribute);
    }
    // A definition without an attached pattern renames no pads.
    if (!compDef->AttachedPatterns.empty()) compDef->AttachedPatterns.front()->ApplyPadPinMap(HostObject);
  }

  designator.Text = Designator.substr(0, 254);
  if (designatorPlacement.Present) {
    designator.X = designatorPlacement.Position.X;
    designator.Y = designatorPlacement.Position.Y;
    designator.Rotation = designatorPlacement.Rotation;
    designator.Mirrored = designatorPlacement.Flipped ? 1 : 0;
    component.DesignatorVisible = designatorPlacement.Visible ? 1 : 0;
    designator.Exchange(qdWrite);
    JustifyText(designator, designatorPlacement.Justification, designatorPlacement.Flipped, true);
  }
  designator.Layer = TopOverlay;
  designator.Exchange(qdWrite);

  comment.Text = value.substr(0, 254);
  if (commentPlacement.Present) {
    comment.X = commentPlacement.Position.X;
    comment.Y = commentPlacement.Position.Y;
    comment.Rotation = commentPlacement.Rotation;
    comment.Mirrored = commentPlacement.Flipped ? 1 : 0;
    component.CommentVisible = commentPlacement.Visible ? 1 : 0;
  }
  comment.Layer = TopOverlay;
  comment.Exchange(qdWrite);

  component.Rotation = Rotation;
  if (Flipped) {
    component.Layer = BottomLayer;
    component.Rotation = 360.0 - Rotation;
  }
  component.ExtraByte = Fixed ? 0 : 1;
  component.Exchange(qdWritePlacement);

  // The pattern's own attributes place the texts relative to the component.
  bool placedDesignator = false, placedComment = false;
  for (const auto& attribute : Attributes) {
    const bool isDesignator = SameTextIgnoringCase(attribute->Name, "RefDes");
    if (!isDesignator && !SameTextIgnoringCase(attribute->Name, "Value")) continue;
    TPcbText& text = isDesignator ? designator : comment;
    text.Exchange(qdRead);
    text.X = attribute->Position.X;
    text.Y = attribute->Position.Y;
    text.Rotation = attribute->Rotation;
    text.Mirrored = attribute->Flipped ? 1 : 0;
    (isDesignator ? component.DesignatorVisible : component.CommentVisible) = attribute->Visible ? 1 : 0;
    (isDesignator ? placedDesignator : placedComment) = true;
  }

  component.X = Position.X;
  component.Y = Position.Y;
  component.Exchange(qdWritePlacement);

  for (TPcbText* text : {placedDesignator ? &designator : nullptr, placedComment ? &comment : nullptr}) {
    if (!text) continue;
    text->X = ClampToInt32(int64_t{text->X} + component.X);
    text->Y = ClampToInt32(int64_t{text->Y} + component.Y);
    if (text->Mirrored) text->Rotation = 360.0 - text->Rotation;
    text->Exchange(qdWrite);
  }

  // A placed pattern joins no net: its pads join through the netlist.
  if (Container != 0) hostapi::PcbApi_AddObjectToContainer(Container, HostObject);
}

// ---- Via ------------------------------------------------------------------------------------

void TVexalVia::Parse() {
  ParseLoop([this](int32_t token) {
    switch (token) {
      case kwViaStyleRef: ViaStyleName = ReadString(); return true;
      case kwPt: Position = ReadPoint(); return true;
      case kwRotation: Rotation = ReadReal(); return true;
      case kwIsFlipped: Flipped = ReadBoolean(); return true;
      case kwNetNameRef: NetName = ReadString(); return true;
      default: return false;
    }
  });
}

void TVexalVia::Translate() {
  HostObject = hostapi::PcbApi_CreateObject(okVia);
  if (HostObject == 0) return;
  {
    TPcbVia via(HostObject);
    via.Exchange(qdRead);
    via.X = Position.X;
    via.Y = Position.Y;
    if (const TVexalViaStyleDef* style = Library ? Library->FindViaStyle(ViaStyleName) : nullptr) {
      if (style->StartRange != 0) via.StartLayer = HostLayerOf(*this, style->StartRange);
      if (style->EndRange != 0) via.EndLayer = HostLayerOf(*this, style->EndRange);
      if (via.EndLayer < via.StartLayer) std::swap(via.StartLayer, via.EndLayer);
      via.HoleSize = style->HoleDiameter;
      for (const auto& shape : style->Shapes) {
        const int32_t m = static_cast<int32_t>((int64_t{shape->ShapeWidth} + shape->ShapeHeight) / 2);
        if (via.Size == 0)
          via.Size = m;
        else if (m != 0 && m < via.Size)
          via.Size = m;
      }
    }
    LookUpNet(*this, NetName);
    via.Exchange(qdWrite);
  }
  TVexalObject::Translate();
}

// ---- Read-only objects --------------------------------------------------------------------

void TVexalLineKeepOut::Parse() {
  ParseLoop([this](int32_t token) {
    if (token != kwPt) return false;
    if (HasStart) {
      End = ReadPoint();
    } else {
      Start = ReadPoint();
      HasStart = true;
    }
    return true;
  });
}

void TVexalDetail::Parse() {
  ParseLoop([this](int32_t token) {
    switch (token) {
      case kwExtent: Extent = ReadPoint(); return true;
      case kwFilename: FileName = ReadString(); return true;
      case kwPt: Position = ReadPoint(); return true;
      case kwSubtitle: Subtitle = ReadString(); return true;
      case kwTextStyleRef: TextStyleName = ReadString(); return true;
      case kwTitle: Title = ReadString(); return true;
      default: return false;
    }
  });
}

void TVexalFromTo::Parse() {
  ParseLoop([this](int32_t token) {
    switch (token) {
      case kwNetNameRef: NetName = ReadString(); return true;
      case kwPt: Points.push_back(ReadPoint()); return true;
      default: return false;
    }
  });
}

void TVexalMarkPoint::Parse() {
  ParseLoop([this](int32_t token) {
    switch (token) {
      case kwPt: Position = ReadPoint(); return true;
      case kwIsFlipped: Flipped = ReadBoolean(); return true;
      case kwIsVisible: Visible = ReadBoolean(); return true;
      default: return false;
    }
  });
}

void TVexalInfoPoint::Parse() {
  static constexpr std::array<const char*, 4> kViolations{
      "InfoPointErrorViolation", "InfoPointWarningViolation", "InfoPointIgnoredViolation",
      "InfoPointOverriddenViolation"};
  ParseLoop([this](int32_t token) {
    switch (token) {
      case kwPt: Position = ReadPoint(); return true;
      case kwClearance: Clearance = ReadCoord(); return true;
      case kwDesc: Description = ReadString(); return true;
      case kwInfoPointRuleCategory: RuleCategory = ReadString(); return true;
      case kwInfoPointRuleType: RuleType = ReadString(); return true;
      case kwInfoPointViolationNumber: ViolationNumber = ReadInteger(); return true;
      case kwSeverity: Severity = ReadInteger(); return true;
      case kwInfoPointViolationType: ReadWordCode(*this, ViolationType, kViolations); return true;
      default: return false;
    }
  });
}

void TVexalTable::Parse() {
  static constexpr std::array<const char*, 6> kTypes{"noteTable",      "RevisionNoteTable", "drillTable",
                                                     "SpareGateTable", "PowerTable",        "NetIndexTable"};
  static constexpr std::array<const char*, 3> kInfos{"DrillTableInfo", "PowerTableInfo", "NoteTableInfo"};
  ParseLoop([this](int32_t token) {
    switch (token) {
      case kwPt: Position = ReadPoint(); return true;
      case kwExtent: Extent = ReadPoint(); return true;
      case kwRotation: Rotation = ReadReal(); return true;
      case kwWidth: Width = ReadCoord(); return true;
      case kwTitle: Title = ReadString(); return true;
      case kwTextStyleRef: TextStyleName = ReadString(); return true;
      case kwTableType: ReadWordCode(*this, TableType, kTypes); return true;
      case kwTableInfo: ReadWordCode(*this, TableInfo, kInfos); return true;
      default: return false;
    }
  });
}

// ---- The keyword table of drawing objects -----------------------------------------------------

std::unique_ptr<TVexalObject> MakeDrawObject(const TVexalObject* creator, int32_t keyword) {
  switch (keyword) {
    case kwArc: return std::make_unique<TVexalArc>(creator);
    case kwAttr: return std::make_unique<TVexalAttr>(creator);
    case kwDetail: return std::make_unique<TVexalDetail>(creator);
    case kwFromTo: return std::make_unique<TVexalFromTo>(creator);
    case kwGluePoint: return std::make_unique<TVexalGluePoint>(creator);
    case kwInfoPoint: return std::make_unique<TVexalInfoPoint>(creator);
    case kwLine: return std::make_unique<TVexalLine>(creator);
    case kwLineKeepOut: return std::make_unique<TVexalLineKeepOut>(creator);
    case kwPad: return std::make_unique<TVexalPad>(creator);
    case kwPattern: return std::make_unique<TVexalPattern>(creator);
    case kwPickPoint: return std::make_unique<TVexalPickPoint>(creator);
    case kwTable: return std::make_unique<TVexalTable>(creator);
    case kwText: return std::make_unique<TVexalText>(creator);
    case kwVia: return std::make_unique<TVexalVia>(creator);
    default: return MakePolygonObject(creator, keyword);
  }
}
