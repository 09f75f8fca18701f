#include "sarnovik/SarnovikStore.h"

#include "hostapi/HostPcbApi.h"
#include "hostapi/PcbBoard.h"
#include "sarnovik/SarnovikReader.h"
#include "sarnovik/SarnovikTables.h"

namespace sarnovik {

namespace {

void MapLayer(TPCBObject& object) { object.Layer = MapSarnovikLayer(object.Layer); }

}  // namespace

void StoreTrack(TTrack& track) {
  if (track.Handle == 0) return;
  MapLayer(track);
  track.X = FileToUnits(track.X);
  track.Y = FileToUnits(track.Y);
  track.X2 = FileToUnits(track.X2);
  track.Y2 = FileToUnits(track.Y2);
  track.Width = FileToUnits(track.Width);
  track.Exchange(qdWrite);
}

void StoreArc(TArc& arc) {
  if (arc.Handle == 0) return;
  MapLayer(arc);
  arc.X = FileToUnits(arc.X);
  arc.Y = FileToUnits(arc.Y);
  arc.Radius = FileToUnits(arc.Radius);
  arc.Width = FileToUnits(arc.Width);
  arc.Exchange(qdWrite);
}

void StoreVia(TVia& via) {
  if (via.Handle == 0) return;
  via.X = FileToUnits(via.X);
  via.Y = FileToUnits(via.Y);
  via.Size = FileToUnits(via.Size);
  via.HoleSize = FileToUnits(via.HoleSize);
  via.Exchange(qdWrite);
}

void StoreFill(TFill& fill) {
  if (fill.Handle == 0) return;
  MapLayer(fill);
  fill.X = FileToUnits(fill.X);
  fill.Y = FileToUnits(fill.Y);
  fill.X2 = FileToUnits(fill.X2);
  fill.Y2 = FileToUnits(fill.Y2);
  fill.Exchange(qdWrite);
}

void StorePad(TPad& pad) {
  if (pad.Handle == 0) return;
  MapLayer(pad);
  switch (pad.TopShape) {
    case 1:
      pad.TopShape = psRound;
      pad.TopYSize = pad.TopXSize;
      break;
    case 2:
      pad.TopShape = psRectangle;
      break;
    case 3:
      pad.TopShape = psOctagonal;
      pad.TopYSize = pad.TopXSize;
      break;
    case 4:
    case 5:
    case 6:
      pad.TopShape = psRound;
      break;
    default:  // 0 and codes above 6 stay as they are
      break;
  }
  pad.X = FileToUnits(pad.X);
  pad.Y = FileToUnits(pad.Y);
  pad.TopXSize = FileToUnits(pad.TopXSize);
  pad.TopYSize = FileToUnits(pad.TopYSize);
  pad.HoleSize = FileToUnits(pad.HoleSize);
  pad.MidXSize = pad.BottomXSize = pad.TopXSize;
  pad.MidYSize = pad.BottomYSize = pad.TopYSize;
  pad.MidShape = pad.BottomShape = pad.TopShape;
  pad.Exchange(qdWrite);
}

void StoreText(TText& text) {
  if (text.Handle == 0) return;
  MapLayer(text);
  text.X = FileToUnits(text.X);
  text.Y = FileToUnits(text.Y);
  text.Height = FileToUnits(text.Height);
  text.StrokeWidth = StrokeWidthForHeight(text.Height);
  const TTextRotation orientation = TextOrientation(OrientationCode(text.Rotation));
  text.Rotation = orientation.Rotation;
  text.Mirrored = orientation.Mirrored ? 1 : 0;
  text.Exchange(qdWrite);
}

void StoreComponent(TComponent& component) {
  if (component.Handle == 0) return;
  component.X = FileToUnits(component.X);
  component.Y = FileToUnits(component.Y);

  // The side: bottom only when something lies on a bottom layer and nothing
  // on a top layer.
  bool top = false;
  bool bottom = false;
  const THandle iterator = hostapi::PcbApi_CreateIterator(component.Handle, 0, 0, 0);
  if (iterator != 0) {
    TPCBObject object(0);
    for (THandle h = hostapi::PcbApi_GetFirstObject(iterator); h != 0;
         h = hostapi::PcbApi_GetNextObject(iterator)) {
      object.Handle = h;
      object.Exchange(qdRead);
      if (object.Layer == BottomLayer || object.Layer == BottomOverlay) bottom = true;
      if (object.Layer == TopLayer || object.Layer == TopOverlay) {
        top = true;
        break;
      }
    }
    hostapi::PcbApi_DestroyIterator(iterator);
  }
  component.Layer = (bottom && !top) ? BottomLayer : TopLayer;
  component.Exchange(qdWrite);
}

void StoreNet(TNet& net) {
  if (net.Handle == 0) return;
  net.Layer = MultiLayer;
  net.Exchange(qdWrite);
}

void ConnectPadToNet(TNet& net, THandle pad) {
  TPad record(pad);
  record.Exchange(qdRead);
  record.Net = net.Handle;
  const int plane = PlaneOfConnectValue(record.ExtraWord);
  if (plane != 0 && TargetBoard) {
    TargetBoard->Exchange(qdRead);
    switch (plane) {
      case 1: TargetBoard->SetPlaneNetName1(net.Name); break;
      case 2: TargetBoard->SetPlaneNetName2(net.Name); break;
      case 3: TargetBoard->SetPlaneNetName3(net.Name); break;
      default: TargetBoard->SetPlaneNetName4(net.Name); break;
    }
    TargetBoard->Exchange(qdWrite);
  }
  record.ExtraWord = 0;
  record.Exchange(qdWrite);
  hostapi::PcbApi_AddObjectToContainer(net.Handle, pad);
}

}  // namespace sarnovik
