// The drop target object behind the platform's drop-target interface.
#include "gui/dnd/drop_target.h"

#include <cstring>

#include "gui/core/drop_record.h"
#include "gui/core/events.h"
#include "gui/core/window_object.h"
#include "gui/dnd/drag_drop.h"
#include "gui/dnd/drop_feedback.h"
#include "runtime/heap.h"

namespace {

// {00000000-0000-0000-C000-000000000046} and {00000122-0000-0000-C000-000000000046}.
constexpr GUID kBaseInterface = {
    0x00000000, 0x0000, 0x0000, {0xC0, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x46}};
constexpr GUID kDropTargetInterface = {
    0x00000122, 0x0000, 0x0000, {0xC0, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x46}};

FORMATETC global_memory_of(std::int32_t format) {
  return FORMATETC{static_cast<CLIPFORMAT>(format), nullptr, DVASPECT_CONTENT, -1, TYMED_HGLOBAL};
}

// The data object's block of a format as global memory; the caller releases
// the medium.
bool fetch(IDataObject* data, std::int32_t format, STGMEDIUM* medium) {
  FORMATETC wanted = global_memory_of(format);
  *medium = STGMEDIUM{};
  if (data->GetData(&wanted, medium) != S_OK) return false;
  if (medium->tymed == TYMED_HGLOBAL && medium->hGlobal) return true;
  ReleaseStgMedium(medium);
  return false;
}

// The private type at the start of the private format's block; 0 for none.
std::int32_t private_type_of(IDataObject* data) {
  STGMEDIUM medium{};
  if (!fetch(data, DROP_PRIVATE, &medium)) return 0;
  std::int32_t type = 0;
  if (GlobalSize(medium.hGlobal) >= sizeof type)
    if (const void* block = GlobalLock(medium.hGlobal)) {
      std::memcpy(&type, block, sizeof type);
      GlobalUnlock(medium.hGlobal);
    }
  ReleaseStgMedium(&medium);
  return type;
}

}  // namespace

DropTarget::DropTarget(std::int32_t owner_kind, std::int64_t owner_number, HWND owner_handle)
    : owner_kind_(owner_kind), owner_number_(owner_number), owner_handle_(owner_handle) {}

HRESULT DropTarget::QueryInterface(REFIID iid, void** out) {
  if (!out) return E_INVALIDARG;
  if (IsEqualGUID(iid, kBaseInterface) || IsEqualGUID(iid, kDropTargetInterface)) {
    *out = static_cast<IDropTarget*>(this);
    AddRef();
    return S_OK;
  }
  *out = nullptr;
  return E_NOINTERFACE;
}

ULONG DropTarget::AddRef() {
  return static_cast<ULONG>(++references_);
}

ULONG DropTarget::Release() {
  const std::int32_t left = --references_;
  if (left <= 0) delete this;
  return static_cast<ULONG>(left < 0 ? 0 : left);
}

void DropTarget::find_match(IDataObject* data, DWORD offered) {
  match_kind_ = kNoMatch;
  match_format_ = 0;
  for (const DropFormatEntry& entry : formats.entries()) {
    if (!(entry.allowed_actions & static_cast<std::int32_t>(offered))) continue;
    FORMATETC wanted = global_memory_of(entry.key);
    if (data->QueryGetData(&wanted) == S_OK) {
      match_kind_ = kFormatMatch;
      match_value_ = match_format_ = entry.key;
      match_actions_ = entry.allowed_actions;
      return;
    }
  }
  if (private_types.empty()) return;
  const std::int32_t type = private_type_of(data);
  if (const DropFormatEntry* entry =
          private_types.first_offered(type, static_cast<std::int32_t>(offered))) {
    match_kind_ = kPrivateMatch;
    match_value_ = type;
    match_format_ = DROP_PRIVATE;
    match_actions_ = entry->allowed_actions;
  }
}

DWORD DropTarget::chosen_effect(DWORD offered, DWORD key_state) const {
  if (match_kind_ == kNoMatch) return 0;
  return static_cast<DWORD>(drop_choose_action(static_cast<std::int32_t>(offered), match_actions_,
                                               static_cast<std::int32_t>(key_state)));
}

POINT DropTarget::client_point(POINTL screen) const {
  POINT point{screen.x, screen.y};
  ScreenToClient(owner_handle_, &point);
  return point;
}

HRESULT DropTarget::DragEnter(IDataObject* data, DWORD key_state, POINTL point, DWORD* effect) {
  if (!effect) return E_INVALIDARG;
  if (data)
    find_match(data, *effect);
  else
    match_kind_ = kNoMatch;
  return DragOver(key_state, point, effect);
}

HRESULT DropTarget::DragOver(DWORD key_state, POINTL point, DWORD* effect) {
  if (!effect) return E_INVALIDARG;
  *effect = chosen_effect(*effect, key_state);
  drop_feedback_show(owner_kind_, owner_handle_,
                     *effect ? DropFeedback::HoverAcceptable : DropFeedback::HoverRefused,
                     client_point(point), &hover_item_);
  return S_OK;
}

HRESULT DropTarget::DragLeave() {
  drop_feedback_show(owner_kind_, owner_handle_, DropFeedback::Leave, POINT{0, 0}, &hover_item_);
  return S_OK;
}

DropRecord* DropTarget::make_record(IDataObject* data, DWORD action, POINT at) const {
  auto* record = static_cast<DropRecord*>(runtime_alloc(sizeof(DropRecord)));
  if (!record) return nullptr;
  record->format = match_format_;
  record->private_type = match_kind_ == kPrivateMatch ? match_value_ : 0;
  record->action = static_cast<std::int32_t>(action);
  record->x = at.x;
  record->y = at.y;
  if (match_kind_ == kPrivateMatch) return record;
  STGMEDIUM medium{};
  bool copied = false;
  if (data && fetch(data, match_value_, &medium)) {
    const SIZE_T size = GlobalSize(medium.hGlobal);
    const void* block = GlobalLock(medium.hGlobal);
    record->data = block && size ? runtime_alloc(size) : nullptr;
    if (record->data) {
      std::memcpy(record->data, block, size);
      record->size = static_cast<std::int64_t>(size);
      copied = true;
    }
    if (block) GlobalUnlock(medium.hGlobal);
    ReleaseStgMedium(&medium);
  }
  if (copied) return record;
  drop_record_free(record);
  return nullptr;
}

// A gadget's drop goes to the toolkit window that holds it, a window's to
// the window itself; the event is raised when event_wait dispatches it.
bool DropTarget::post_record(DropRecord* record) const {
  const auto second = reinterpret_cast<LPARAM>(record);
  const auto first = static_cast<WPARAM>(owner_number_);
  if (owner_kind_ == DROP_OWNER_WINDOW)
    return PostMessageA(owner_handle_, WINDOW_DROP_MESSAGE, first, second) != FALSE;
  std::int64_t window = -1;
  HWND target = nullptr;
  if (!window_number_of(owner_handle_, &window, &target)) return false;
  return PostMessageA(target, GADGET_DROP_MESSAGE, first, second) != FALSE;
}

HRESULT DropTarget::Drop(IDataObject* data, DWORD key_state, POINTL point, DWORD* effect) {
  if (!effect) return E_INVALIDARG;
  *effect = chosen_effect(*effect, key_state);
  const POINT at = client_point(point);
  DropRecord* record = *effect ? make_record(data, *effect, at) : nullptr;
  // A drop whose record cannot be made or delivered is refused: the source
  // must not think that the data arrived.
  if (record && !post_record(record)) {
    drop_record_free(record);
    record = nullptr;
  }
  if (!record) {
    *effect = 0;
    drop_feedback_show(owner_kind_, owner_handle_, DropFeedback::Leave, at, &hover_item_);
    return S_OK;
  }
  drop_feedback_show(owner_kind_, owner_handle_, DropFeedback::Dropped, at, &hover_item_);
  return S_OK;
}
