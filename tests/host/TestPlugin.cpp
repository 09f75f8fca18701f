// A small importer plug-in for the host's end-to-end tests. Like the real
// plug-ins it binds everything by name: the client function in the host
// executable, the PcbApi_ functions in the already loaded host module.
//
// It reads "test board" files: the first line holds TESTBOARD, then one
// object per line (lengths in mils):
//   NET name
//   TRACK layer x1 y1 x2 y2 width [net]
//   COMP designator pattern x y rotation T|B      (a pad "1" and a track inside)
//   POLY layer x y x y ...
//   RULE name gap                                  (a clearance rule on a net scope)
//   CLASS name member ...
//   ASK kind caption text...                       (a message box; its answer becomes a net)
#include <charconv>
#include <cmath>
#include <fstream>
#include <map>
#include <sstream>
#include <string>
#include <vector>

#include "hostapi/PcbApiAbi.h"
#include "hostclient/ClientAbi.h"
#include "platform/Platform.h"

namespace {

// The client interface the host hands over when it creates the server module.
clientabi::IHostClient* Client = nullptr;

struct Api {
#define TEST_PLUGIN_ENTRY(name, result, params) pcbabi::name##_t name = nullptr;
  PCBAPI_CALLED_FUNCTIONS(TEST_PLUGIN_ENTRY)
#undef TEST_PLUGIN_ENTRY
  bool Complete() const {
    bool all = true;
#define TEST_PLUGIN_CHECK(name, result, params) all = all && name != nullptr;
    PCBAPI_CALLED_FUNCTIONS(TEST_PLUGIN_CHECK)
#undef TEST_PLUGIN_CHECK
    return all;
  }
};

Api Bind() {
  Api api;
  platform::ModuleHandle host = platform::FindLoadedModule("Tarvex.dll");
#define TEST_PLUGIN_BIND(name, result, params) \
  api.name = reinterpret_cast<pcbabi::name##_t>(platform::FindExport(host, #name));
  PCBAPI_CALLED_FUNCTIONS(TEST_PLUGIN_BIND)
#undef TEST_PLUGIN_BIND
  return api;
}

std::string FromShort(const uint8_t* s) {
  return s ? std::string(reinterpret_cast<const char*>(s + 1), s[0]) : std::string();
}

std::vector<uint8_t> ToShort(const std::string& text) {
  std::vector<uint8_t> s(256, 0);
  const size_t n = std::min<size_t>(text.size(), 255);
  s[0] = static_cast<uint8_t>(n);
  std::copy(text.begin(), text.begin() + static_cast<ptrdiff_t>(n), s.begin() + 1);
  return s;
}

int32_t Mils(const std::string& word) {
  double v = 0;
  std::from_chars(word.data(), word.data() + word.size(), v);
  return static_cast<int32_t>(std::nearbyint(v * 10000.0));
}

bool Exists(const std::string& file) {
  auto exists = reinterpret_cast<clientabi::ClientAPI_ExistSpecific_t>(
      platform::FindExport(platform::ExecutableModule(), "ClientAPI_ExistSpecific"));
  return exists && exists(file.c_str()) != 0;
}

bool IsTestBoard(const std::string& file) {
  if (!Exists(file)) return false;
  std::ifstream in(file);
  std::string first;
  std::getline(in, first);
  return first.find("TESTBOARD") != std::string::npos;
}

struct Importer {
  Api api;
  uint32_t board = 0;
  std::map<std::string, uint32_t> nets;

  void Track(uint32_t container, uint8_t layer, int32_t x1, int32_t y1, int32_t x2, int32_t y2,
             int32_t width, uint32_t net) {
    const uint32_t h = api.PcbApi_CreateObject(4);
    uint16_t flags, extraWord;
    uint8_t l, extraByte;
    uint32_t n, extraLong;
    int32_t x, y, xx, yy, w, a1, a2, a3;
    api.PcbApi_QueryTrack(pcbabi::qdRead, h, &flags, &extraWord, &l, &n, &extraByte, &extraLong,
                          &x, &y, &xx, &yy, &w, &a1, &a2, &a3);
    l = layer;
    x = x1, y = y1, xx = x2, yy = y2, w = width, n = net;
    api.PcbApi_QueryTrack(pcbabi::qdWrite, h, &flags, &extraWord, &l, &n, &extraByte, &extraLong,
                          &x, &y, &xx, &yy, &w, &a1, &a2, &a3);
    api.PcbApi_AddObjectToContainer(container, h);
  }

  void Net(const std::string& name) {
    const uint32_t h = api.PcbApi_CreateObject(8);
    uint16_t extraWord = 0;
    uint8_t aux1 = 0, aux2 = 0;
    auto text = ToShort(name);
    api.PcbApi_QueryNet(pcbabi::qdWrite, h, &extraWord, text.data(), &aux1, &aux2);
    api.PcbApi_AddObjectToContainer(board, h);
    nets[name] = h;
  }

  void Component(const std::vector<std::string>& w) {
    const uint32_t comp = api.PcbApi_CreateObject(9);
    // A pad and a track at the component's own origin, then placement.
    const uint32_t pad = api.PcbApi_CreateObject(2);
    uint16_t flags, extraWord;
    uint8_t layer, extraByte, ts, ms, bs, aux1, aux2;
    uint32_t net, extraLong;
    int32_t x, y, txs, tys, mxs, mys, bxs, bys, hole;
    double rot;
    auto name = ToShort("");
    api.PcbApi_QueryPad(pcbabi::qdRead, pad, &flags, &extraWord, &layer, &net, &extraByte,
                        &extraLong, &x, &y, &txs, &tys, &mxs, &mys, &bxs, &bys, &hole, &ts, &ms,
                        &bs, name.data(), &aux1, &aux2, &rot);
    x = 1000000;
    y = 0;
    name = ToShort("1");
    api.PcbApi_QueryPad(pcbabi::qdWrite, pad, &flags, &extraWord, &layer, &net, &extraByte,
                        &extraLong, &x, &y, &txs, &tys, &mxs, &mys, &bxs, &bys, &hole, &ts, &ms,
                        &bs, name.data(), &aux1, &aux2, &rot);
    api.PcbApi_AddObjectToContainer(comp, pad);
    Track(comp, 33, 0, 0, 2000000, 0, 100000, 0);

    uint8_t side, cExtraByte, dVis, cVis, aux;
    uint32_t designator, comment;
    int32_t cx, cy, caux1;
    double crot;
    auto pattern = ToShort("");
    api.PcbApi_QueryComponent(pcbabi::qdRead, comp, &flags, &extraWord, &side, &cExtraByte,
                              &designator, &comment, pattern.data(), &dVis, &cVis, &cx, &cy,
                              &caux1, &crot, &aux);
    // The designator text.
    {
      uint16_t f, ew;
      uint8_t l, eb, mir;
      uint32_t n, el;
      int32_t tx, ty, h, font, sw, a2, a3;
      double r;
      auto text = ToShort("");
      api.PcbApi_QueryText(pcbabi::qdRead, designator, &f, &ew, &l, &n, &eb, &el, &tx, &ty, &h,
                           &font, &r, &mir, text.data(), &sw, &a2, &a3);
      text = ToShort(w[1]);
      tx = 0;
      ty = 1000000;
      api.PcbApi_QueryText(pcbabi::qdWrite, designator, &f, &ew, &l, &n, &eb, &el, &tx, &ty, &h,
                           &font, &r, &mir, text.data(), &sw, &a2, &a3);
    }
    pattern = ToShort(w[2]);
    crot = std::stod(w[5]);
    side = w[6] == "B" ? 32 : 1;
    api.PcbApi_QueryComponent(pcbabi::qdWritePlacement, comp, &flags, &extraWord, &side,
                              &cExtraByte, &designator, &comment, pattern.data(), &dVis, &cVis,
                              &cx, &cy, &caux1, &crot, &aux);
    cx = Mils(w[3]);
    cy = Mils(w[4]);
    api.PcbApi_QueryComponent(pcbabi::qdWritePlacement, comp, &flags, &extraWord, &side,
                              &cExtraByte, &designator, &comment, pattern.data(), &dVis, &cVis,
                              &cx, &cy, &caux1, &crot, &aux);
    api.PcbApi_AddObjectToContainer(board, comp);
  }

  void Polygon(const std::vector<std::string>& w) {
    const uint32_t h = api.PcbApi_CreateObject(10);
    uint16_t flags, extraWord;
    uint8_t layer, extraByte, islands, a1, option, a2, hatch, plane;
    uint32_t net;
    int32_t grid, width, a3, count;
    std::vector<pcbabi::TVertexRecord> v(pcbabi::kVertexRecords);
    api.PcbApi_QueryPolygon(pcbabi::qdRead, h, &flags, &extraWord, &layer, &net, &extraByte,
                            &islands, &a1, &option, &grid, &width, &a2, &hatch, &a3, &plane,
                            &count, v.data());
    layer = static_cast<uint8_t>(std::stoi(w[1]));
    count = 0;
    for (size_t i = 2; i + 1 < w.size() && count < 500; i += 2, ++count) {
      v[static_cast<size_t>(count)].X = Mils(w[i]);
      v[static_cast<size_t>(count)].Y = Mils(w[i + 1]);
    }
    v[static_cast<size_t>(count)] = v[0];
    api.PcbApi_QueryPolygon(pcbabi::qdWrite, h, &flags, &extraWord, &layer, &net, &extraByte,
                            &islands, &a1, &option, &grid, &width, &a2, &hatch, &a3, &plane,
                            &count, v.data());
    api.PcbApi_AddObjectToContainer(board, h);
    api.PcbApi_EventRouter_SendMessage(0, 0, 3, h);
  }

  void Rule(const std::vector<std::string>& w) {
    const uint32_t h = api.PcbApi_CreateRuleObject(0);
    auto name = ToShort(w[1]);
    api.PcbApi_QueryRuleExtEx(pcbabi::qdWrite, h, name.data());
    api.PcbApi_SetState_DeleteAllSubScopes(h, 0);
    auto netName = ToShort(w.size() > 3 ? w[3] : "");
    api.PcbApi_SetState_AddSubscope(h, 0, w.size() > 3 ? 8 : 0, netName.data(), 0, 0, 0, 0, 0, 0);
    int32_t gap = Mils(w[2]);
    api.PcbApi_QueryRuleClearanceConstraint(pcbabi::qdWrite, h, &gap);
    api.PcbApi_AddObjectToContainer(board, h);
  }

  void Class(const std::vector<std::string>& w) {
    const uint32_t h = api.PcbApi_CreateClassObjectEx(0);
    uint16_t extraWord = 0;
    uint8_t kind = 0, aux = 0;
    auto name = ToShort(w[1]);
    api.PcbApi_QueryClass(pcbabi::qdWrite, h, &extraWord, &kind, &aux, name.data());
    for (size_t i = 2; i < w.size(); ++i) api.PcbApi_AddMemberToClass(h, ToShort(w[i]).data());
    api.PcbApi_AddObjectToContainer(board, h);
  }

  void Line(const std::string& line) {
    std::istringstream in(line);
    std::vector<std::string> w;
    for (std::string word; in >> word;) w.push_back(word);
    if (w.empty()) return;
    if (w[0] == "NET" && w.size() >= 2) Net(w[1]);
    else if (w[0] == "TRACK" && w.size() >= 7)
      Track(board, static_cast<uint8_t>(std::stoi(w[1])), Mils(w[2]), Mils(w[3]), Mils(w[4]),
            Mils(w[5]), Mils(w[6]), w.size() > 7 && nets.count(w[7]) ? nets[w[7]] : 0);
    else if (w[0] == "COMP" && w.size() >= 7) Component(w);
    else if (w[0] == "POLY" && w.size() >= 4) Polygon(w);
    else if (w[0] == "RULE" && w.size() >= 3) Rule(w);
    else if (w[0] == "CLASS" && w.size() >= 2) Class(w);
    else if (w[0] == "ASK" && w.size() >= 3) Ask(w);
  }

  // Asks the user through a message box and keeps the answer as a net
  // named after it ("ANSWER6" for Yes).
  void Ask(const std::vector<std::string>& w) {
    std::string text;
    for (size_t i = 3; i < w.size(); ++i) text += (i > 3 ? " " : "") + w[i];
    const int32_t answer =
        platform::ShowMessageBox(text, w[2], static_cast<uint32_t>(std::stoul(w[1])));
    Net("ANSWER" + std::to_string(answer));
  }
};

}  // namespace

PCB_EXPORT const char* PCBAPI_CALL GetPcbImporterDescription() {
  return "Test Board Files (*.tbd)";
}

PCB_EXPORT uint8_t PCBAPI_CALL RecognisedPCBFile(const uint8_t* fileName) {
  try {
    return IsTestBoard(FromShort(fileName)) ? 1 : 0;
  } catch (...) {
    return 0;
  }
}

PCB_EXPORT uint8_t PCBAPI_CALL ImportFileIntoPcb(const uint8_t* fileName, const uint8_t*) {
  try {
    const std::string file = FromShort(fileName);
    if (!IsTestBoard(file)) return 0;
    Importer importer;
    importer.api = Bind();
    if (!importer.api.Complete()) return 0;
    importer.board = importer.api.PcbApi_GetBoardHandleFromFullFileName(fileName);
    if (!importer.board) return 0;
    std::vector<std::string> lines;
    std::ifstream in(file);
    for (std::string line; std::getline(in, line);) lines.push_back(line);
    auto title = ToShort("Loading test board");
    importer.api.PcbApi_Percent_Init(title.data(), static_cast<int32_t>(lines.size()));
    for (const std::string& line : lines) {
      importer.api.PcbApi_Percent_Update();
      importer.Line(line);
    }
    importer.api.PcbApi_Percent_Finish();
    importer.api.PcbApi_EventRouter_SendMessage(importer.board, 0, 13, 0);
    // Tells the host which main window its client gave, when it gave one.
    if (Client)
      importer.api.PcbApi_EventRouter_SendMessage(0, 0, 99,
                                                  static_cast<uint32_t>(Client->GetMainWindow()));
    return 1;
  } catch (...) {
    return 0;
  }
}

// No server module of its own; it only keeps the client interface.
PCB_EXPORT void PCBAPI_CALL ServerFactory(void** module, clientabi::IHostClient* client) {
  if (module) *module = nullptr;
  Client = client;
}
