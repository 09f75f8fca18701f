// The document model behind the exported PcbApi_ functions (private to the
// module; the host program and tests use TarvexHost.h).
#pragma once

#include <cstdint>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "host/tarvex/TarvexHost.h"

namespace tarvex {

inline constexpr int32_t kOk = 0;
inline constexpr int32_t kFail = 1;

class Model final : public ITarvexHost {
 public:
  Model();

  // ---- ITarvexHost ----------------------------------------------------------
  void Reset() override;
  THandle NewDocument(const std::string& kind, const std::string& path) override;
  bool MakeCurrent(THandle board) override;
  THandle CurrentBoard() const override { return current_; }
  std::vector<THandle> Documents() const override;
  THandle FindDocument(const std::string& path) const override;
  const Document* GetDocument(THandle board) const override;
  Document* GetDocumentMutable(THandle board) override;
  bool AddLibraryComponent(THandle board, const std::string& name) override;
  bool SetCurrentLibraryComponent(THandle board, int index) override;
  const Object* GetObject(THandle handle) const override;
  Object* GetObjectMutable(THandle handle) override;
  std::vector<THandle> AllObjects() const override;
  std::vector<THandle> ContainerObjects(THandle container) const override;
  bool BoundingRectangle(THandle handle, Rect& rect) const override;
  int LiveIterators() const override { return static_cast<int>(iterators_.size()); }
  Defaults& GetDefaults() override { return defaults_; }
  const std::vector<ProgressRun>& Progress() const override { return progress_; }
  int64_t StrayProgressCalls() const override { return strayProgress_; }
  const std::vector<EventMessage>& Events() const override { return events_; }
  const std::vector<CommandRecord>& Commands() const override { return commands_; }
  void QueueCommonDialogAnswer(const std::string& answer) override;
  void SetStandingCommonDialogAnswer(const std::string& answer) override;
  bool RunCommonDialog(const char* route, char* buffer, int32_t size) override;
  void SetProgressObserver(IProgressObserver* observer) override;
  void SetCommonDialogPrompt(CommonDialogPrompt prompt) override { dialogPrompt_ = std::move(prompt); }

  // ---- Operations of the exported functions -----------------------------------
  THandle CreateObject(uint8_t kind);
  THandle CreateRule(uint8_t ruleKind);
  THandle CreateClass(uint8_t memberKind);
  int32_t AddToContainer(THandle container, THandle object);
  int32_t DeleteFromContainer(THandle container, THandle object);
  THandle CreateIterator(THandle container, uint8_t kind, uint8_t layer);
  THandle FirstObject(THandle iterator);
  THandle NextObject(THandle iterator);
  void DestroyIterator(THandle iterator);

  // The object of a handle when its kind is one of `kinds` (any object kind
  // for an empty list), else nullptr.
  Object* ObjectOfKind(THandle handle, std::initializer_list<uint8_t> kinds);

  // After a component was written with qdWritePlacement: moves, rotates and
  // flips its primitives and texts from the old placement to its new one.
  void ApplyPlacement(Object& component, int32_t oldX, int32_t oldY, double oldRotation,
                      uint8_t oldLayer);
  // A component record names its text objects; the host takes a text object
  // that no container holds as the component's own.
  void AdoptComponentText(Object& component, THandle text);
  // Keeps the per-layer stack of a pad in step when its stack mode changes.
  void SetStackMode(Object& pad, uint8_t mode);
  // The size and shape of a pad or via on one copper layer.
  bool SizeOnLayer(const Object& object, uint8_t layer, int32_t& x, int32_t& y) const;
  bool ShapeOnLayer(const Object& object, uint8_t layer, uint8_t& shape) const;

  void PercentInit(const std::string& title, int32_t total);
  // Fast path: a reader steps the display once per character, so a step
  // touches one counter, the running display's or the stray one.
  // An observer hears of it at notification points only.
  void PercentUpdate() {
    if (++*progressStep_ >= notifyAt_) NotifyProgress();
  }
  void PercentFinish();
  void SendMessage(const EventMessage& message) { events_.push_back(message); }
  void RecordCommand(CommandRecord record) { commands_.push_back(std::move(record)); }

 private:
  struct Iterator {
    std::vector<THandle> Items;
    size_t Next = 0;
    THandle Container = 0;
    uint8_t Kind = 0, Layer = 0;
  };

  // The objects a board holds: all of them and per kind.
  struct BoardObjects {
    std::vector<THandle>* All = nullptr;
    std::map<uint8_t, std::vector<THandle>>* ByKind = nullptr;
  };

  THandle NewHandle() { return nextHandle_++; }
  Document* DocumentOf(THandle board);
  const Document* DocumentOf(THandle board) const;
  // The board's objects; for a library board those of its current
  // component (or of component `index` when given).
  BoardObjects BoardList(Document& document, int index = -2);
  BoardObjects BoardList(const Document& document) const;
  std::vector<THandle> Matching(THandle container, uint8_t kind, uint8_t layer) const;
  void InitObject(Object& object);
  void InitDocument(Document& document);
  bool Bounds(const Object& object, double& x1, double& y1, double& x2, double& y2, int depth) const;

  // Every object by its handle. Handles are given out in increasing order
  // and never reused, so the objects since the last Reset stand in a vector
  // indexed by handle - first_: a lookup costs one index.
  class ObjectTable {
   public:
    void Restart(THandle first) {
      first_ = first;
      slots_.clear();
      count_ = 0;
    }
    Object* Find(THandle handle) const {
      if (handle < first_ || handle - first_ >= slots_.size()) return nullptr;
      return slots_[handle - first_].get();
    }
    void Add(THandle handle, std::unique_ptr<Object> object) {
      if (handle < first_) return;
      if (handle - first_ >= slots_.size()) slots_.resize(handle - first_ + 1);
      if (!slots_[handle - first_]) ++count_;
      slots_[handle - first_] = std::move(object);
    }
    size_t size() const { return count_; }
    // Calls f(handle, object) in handle order.
    template <class F>
    void ForEach(F&& f) const {
      for (size_t i = 0; i < slots_.size(); ++i)
        if (slots_[i]) f(static_cast<THandle>(first_ + i), *slots_[i]);
    }

   private:
    THandle first_ = 1;
    std::vector<std::unique_ptr<Object>> slots_;
    size_t count_ = 0;
  };

  THandle nextHandle_ = 1;
  ObjectTable objects_;
  std::vector<std::unique_ptr<Document>> documents_;
  std::map<THandle, Iterator> iterators_;
  THandle current_ = 0;
  Defaults defaults_;
  std::vector<ProgressRun> progress_;
  bool progressOpen_ = false;
  int64_t strayProgress_ = 0;
  // The counter PercentUpdate steps: the last run's Updates while a display
  // is open, else strayProgress_ (set by Reset, PercentInit, PercentFinish).
  int64_t* progressStep_ = &strayProgress_;
  // The step count of the running display at which the observer hears next;
  // never reached without an observer or a running display.
  static constexpr int64_t kNever = INT64_MAX;
  int64_t notifyAt_ = kNever;
  IProgressObserver* observer_ = nullptr;
  void NotifyProgress();
  std::vector<EventMessage> events_;
  std::vector<CommandRecord> commands_;
  std::vector<std::string> dialogAnswers_;
  std::string standingDialogAnswer_;
  CommonDialogPrompt dialogPrompt_;
};

// The one model of the module.
Model& TheModel();

// Rounds to the nearest integer, halves to even, clamped to 32 bits (NaN
// gives 0).
int32_t RoundCoord(double value);
// An angle brought into [0, 360).
double NormalizeAngle(double degrees);
// The layer a primitive moves to when its component changes side.
uint8_t FlipLayer(uint8_t layer);

}  // namespace tarvex
