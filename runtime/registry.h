// Numbered objects: the registry that maps object numbers and dynamic handles
// to a kind's object records.
//
// A kind names its objects by small numbers of the caller's choosing, or by a
// handle (the address of a dynamic record) that a create with ANY_OBJECT
// returns. An object is alive while the first, pointer-sized field of its
// record is non-zero. Registries take no lock: one kind is used from one
// thread at a time.
#pragma once

#include <cstdint>

using object_number = std::intptr_t;
constexpr object_number ANY_OBJECT = -1;

using FreeOperation = void (*)(object_number number_or_handle);

struct DynamicNode;
class LiveHandleSet;

struct ObjectRegistry {
  std::int32_t record_size;
  std::int32_t slot_step;
  std::int64_t slot_count;
  void** slots;
  DynamicNode* dynamic_head;
  FreeOperation free_operation;
  std::int64_t iter_position;
  DynamicNode* iter_node;
  // Every dynamic handle handed out and not yet released, so that a value
  // that is neither a number nor a live handle is never dereferenced.
  LiveHandleSet* live_handles;
};

// A new registry from the runtime heap, with `slot_step` empty slots.
ObjectRegistry* registry_create(std::int32_t record_size, std::int32_t slot_step,
                                FreeOperation free_operation);

// Get-or-create for a kind's create operation: a fresh zeroed dynamic record
// for ANY_OBJECT; for a number, its slot's record (an old live object is
// destroyed through the free operation first). Null when the value is outside
// the model or memory runs out.
void* registry_allocate(ObjectRegistry* registry, object_number number);

// The live record of a number or handle, or null.
void* registry_lookup(ObjectRegistry* registry, object_number number_or_handle);

// Clears a numbered record (its memory stays in the slot) or frees a dynamic
// node. Values that name nothing change nothing.
void registry_release(ObjectRegistry* registry, object_number number_or_handle);

// Iteration: numbered objects by ascending number, then dynamic objects from
// oldest to newest. The cursor moves before a record is returned, so the
// caller may free it.
void* registry_first(ObjectRegistry* registry, object_number* id);
void* registry_next(ObjectRegistry* registry, object_number* id);

// Calls the free operation on every object of the kind.
void registry_free_all(ObjectRegistry* registry);

// The free operation every kind shares: when the number or handle names a
// live object, `destroy` releases what its record holds, then the record is
// released.
template <typename Record, typename Destroy>
void registry_free_object(ObjectRegistry* registry, object_number number_or_handle,
                          Destroy destroy) {
  auto* record = static_cast<Record*>(registry_lookup(registry, number_or_handle));
  if (!record) return;
  destroy(*record);
  registry_release(registry, number_or_handle);
}

// True when `value` is a handle this registry handed out and has not released.
bool registry_is_live_handle(const ObjectRegistry* registry, object_number value);
