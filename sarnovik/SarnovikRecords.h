// The record classes of the Sarnovik importer: one per kind of object the
// format holds, each a host wrapper without fields or operations of its own.
// The readers fill them from the file and the store operations convert and
// write them.
#pragma once

#include "hostapi/PcbObjects.h"

class TVia : public TPcbVia {
 public:
  using TPcbVia::TPcbVia;
};

class TTrack : public TPcbTrack {
 public:
  using TPcbTrack::TPcbTrack;
};

class TArc : public TPcbArc {
 public:
  using TPcbArc::TPcbArc;
};

class TPad : public TPcbPad {
 public:
  using TPcbPad::TPcbPad;
};

class TFill : public TPcbFill {
 public:
  using TPcbFill::TPcbFill;
};

class TText : public TPcbText {
 public:
  using TPcbText::TPcbText;
};

class TComponent : public TPcbComponent {
 public:
  using TPcbComponent::TPcbComponent;
};

class TNet : public TPcbNet {
 public:
  using TPcbNet::TPcbNet;
};
