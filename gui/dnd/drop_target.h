// The drop target of one window or gadget: the object the platform's drag
// and drop registration holds. It accepts the formats and private types
// enabled on its owner, chooses the action from the keys held down, shows
// feedback in list-like gadgets, and on a drop posts a DropRecord to the
// owner's toolkit window.
#pragma once

#include <windows.h>
#include <ole2.h>

#include <cstdint>

#include "gui/dnd/drop_rules.h"

// The owner kind of a window; gadgets use their kind's number.
constexpr std::int32_t DROP_OWNER_WINDOW = 0;

// The property that holds an owner's drop target.
constexpr const char* DROP_ACCEPT_PROPERTY = "ZQ_DropAccept";

// The owner window or control goes away, or withdrew its last format: its
// drop target goes with it. Joined to the core's release hooks
// (gui/core/window_hooks.h) by drag_drop_join_runtime.
void drop_target_withdraw(HWND owner);

class DropTarget final : public IDropTarget {
 public:
  // One reference, the creator's.
  DropTarget(std::int32_t owner_kind, std::int64_t owner_number, HWND owner_handle);

  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** out) override;
  ULONG STDMETHODCALLTYPE AddRef() override;
  ULONG STDMETHODCALLTYPE Release() override;
  HRESULT STDMETHODCALLTYPE DragEnter(IDataObject* data, DWORD key_state, POINTL point,
                                      DWORD* effect) override;
  HRESULT STDMETHODCALLTYPE DragOver(DWORD key_state, POINTL point, DWORD* effect) override;
  HRESULT STDMETHODCALLTYPE DragLeave() override;
  HRESULT STDMETHODCALLTYPE Drop(IDataObject* data, DWORD key_state, POINTL point,
                                 DWORD* effect) override;

  DropFormatList formats;        // ordinary formats
  DropFormatList private_types;  // types of the private format

 private:
  enum MatchKind : std::int32_t { kNoMatch = 0, kFormatMatch = 1, kPrivateMatch = 2 };

  ~DropTarget() = default;
  void find_match(IDataObject* data, DWORD offered);
  DWORD chosen_effect(DWORD offered, DWORD key_state) const;
  POINT client_point(POINTL screen) const;
  struct DropRecord* make_record(IDataObject* data, DWORD action, POINT at) const;
  bool post_record(struct DropRecord* record) const;

  std::int32_t references_ = 1;
  std::int32_t owner_kind_;
  std::int64_t owner_number_;
  HWND owner_handle_;
  std::int32_t hover_item_ = -1;
  std::int32_t match_kind_ = kNoMatch;
  std::int32_t match_value_ = 0;
  std::int32_t match_format_ = 0;
  std::int32_t match_actions_ = 0;
};
