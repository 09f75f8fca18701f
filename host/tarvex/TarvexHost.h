// The host-side interface of the stand-in host module: what the host program
// and the tests use to open documents, make one current, look at every
// object with all its fields, read the logs and change the defaults of new
// objects. The module exports one accessor, `Tarvex_Host`, by name; find it
// with FindTarvexHost().
#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "host/tarvex/TarvexModel.h"
#include "platform/Platform.h"

namespace tarvex {

// Told what the host's progress display shows, so that the host program can
// draw it. Steps are reported at notification points only (every step of a
// display of up to 1000 steps, else about every thousandth of the total;
// every 256 steps of a display without a total), never once per character.
class IProgressObserver {
 public:
  // A display started; total 0 when the plug-in gives none.
  virtual void ProgressStarted(const std::string& title, int32_t total) = 0;
  // The steps counted so far by the running display.
  virtual void ProgressStepped(int64_t steps) = 0;
  // The running display finished.
  virtual void ProgressFinished() = 0;

 protected:
  ~IProgressObserver() = default;
};

class ITarvexHost {
 public:
  // Everything starts again: no documents, no objects, empty logs, the
  // built-in defaults and no queued dialog answers. Handles keep counting,
  // so a handle is never given out twice in one process.
  virtual void Reset() = 0;

  // ---- Documents -----------------------------------------------------------

  // Opens a new document of kind "PCB" or "PCBLib" (letters in any case) for
  // a path and answers its board handle; 0 for another kind. The new
  // document is not made current.
  virtual THandle NewDocument(const std::string& kind, const std::string& path) = 0;
  // Makes the document of a board current; 0 makes no document current.
  // False (and no change) for a handle that is not a board.
  virtual bool MakeCurrent(THandle board) = 0;
  virtual THandle CurrentBoard() const = 0;
  // Board handles of the open documents, in the order they were opened.
  virtual std::vector<THandle> Documents() const = 0;
  // The first open document with exactly this path, 0 when none.
  virtual THandle FindDocument(const std::string& path) const = 0;
  virtual const Document* GetDocument(THandle board) const = 0;
  virtual Document* GetDocumentMutable(THandle board) = 0;

  // Adds a library component to a library document and makes it current.
  virtual bool AddLibraryComponent(THandle board, const std::string& name) = 0;
  virtual bool SetCurrentLibraryComponent(THandle board, int index) = 0;

  // ---- Objects -------------------------------------------------------------

  virtual const Object* GetObject(THandle handle) const = 0;
  virtual Object* GetObjectMutable(THandle handle) = 0;
  // Every object ever created, in handle order.
  virtual std::vector<THandle> AllObjects() const = 0;
  // What an iterator over a container with kind 0 and layer 0 would give: a
  // board's objects (a library board: its current component's), a
  // component's primitives, a net's connected primitives.
  virtual std::vector<THandle> ContainerObjects(THandle container) const = 0;
  // The bounding rectangle the host gives for an object; false when it has
  // none.
  virtual bool BoundingRectangle(THandle handle, Rect& rect) const = 0;
  // Iterators created and not yet destroyed.
  virtual int LiveIterators() const = 0;

  // ---- Defaults of new objects ------------------------------------------------

  virtual Defaults& GetDefaults() = 0;

  // ---- Logs ------------------------------------------------------------------

  virtual const std::vector<ProgressRun>& Progress() const = 0;
  // Updates and finishes that came while no progress display was running.
  virtual int64_t StrayProgressCalls() const = 0;
  virtual const std::vector<EventMessage>& Events() const = 0;
  virtual const std::vector<CommandRecord>& Commands() const = 0;

  // ---- The common file dialog ---------------------------------------------

  // The answers of "Client:RunCommonDialog": queued answers are used first,
  // one per dialog; then the standing answer (initially "Result=False", the
  // user cancelled). An answer is a parameter text such as
  // "Result=True|Path=/tmp/a.pcb".
  virtual void QueueCommonDialogAnswer(const std::string& answer) = 0;
  virtual void SetStandingCommonDialogAnswer(const std::string& answer) = 0;
  // Runs the dialog on a zero-terminated parameter buffer of `size` bytes:
  // records the request and writes the answer over it (cut to fit, always
  // zero-terminated). False for a null buffer or a size below 1.
  virtual bool RunCommonDialog(const char* route, char* buffer, int32_t size) = 0;

  // ---- The progress display --------------------------------------------------

  // The observer of the progress display (nullptr: none); not owned. Reset
  // removes it.
  virtual void SetProgressObserver(IProgressObserver* observer) = 0;

  // A person who answers the common file dialog (on a terminal, say): given
  // the request, asked when no queued answer is left, before the standing
  // answer; answering nothing leaves the standing answer. Reset removes it.
  using CommonDialogPrompt = std::function<std::optional<std::string>(const std::string& request)>;
  virtual void SetCommonDialogPrompt(CommonDialogPrompt prompt) = 0;

 protected:
  ~ITarvexHost() = default;
};

}  // namespace tarvex

extern "C" {
using Tarvex_Host_t = tarvex::ITarvexHost* (*)(void);
}

namespace tarvex {

// The host interface of a loaded stand-in host module, or nullptr.
inline ITarvexHost* TarvexHostOf(platform::ModuleHandle module) {
  auto get = reinterpret_cast<Tarvex_Host_t>(platform::FindExport(module, "Tarvex_Host"));
  return get ? get() : nullptr;
}

// The host interface of the stand-in host module the process has loaded, or
// nullptr when it has none.
inline ITarvexHost* FindTarvexHost() {
  return TarvexHostOf(platform::FindLoadedModule("Tarvex.dll"));
}

}  // namespace tarvex
