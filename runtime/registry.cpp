// Object registry: slot table for numbers, doubly linked nodes for handles.
#include "runtime/registry.h"

#include <cstring>
#include <functional>
#include <new>
#include <unordered_set>

#include "runtime/heap.h"
#include "runtime/runtime_allocator.h"

struct DynamicNode {
  DynamicNode* next;  // towards older nodes
  DynamicNode* prev;  // towards newer nodes
  // the object record follows
};

class LiveHandleSet
    : public std::unordered_set<object_number, std::hash<object_number>,
                                std::equal_to<object_number>, RuntimeAllocator<object_number>> {};

namespace {

// Numbers beyond this are taken as (dead) handles rather than growing the
// table to an absurd length.
constexpr object_number kLargestNumber = 0x7FFFFFFF;

void* record_of(DynamicNode* node) {
  return reinterpret_cast<char*>(node) + sizeof(DynamicNode);
}

DynamicNode* node_of(object_number handle) {
  return reinterpret_cast<DynamicNode*>(reinterpret_cast<char*>(handle) - sizeof(DynamicNode));
}

bool is_number(const ObjectRegistry* registry, object_number value) {
  return value >= 0 && value < registry->slot_count;
}

bool record_alive(const void* record) {
  void* first_field;
  std::memcpy(&first_field, record, sizeof first_field);
  return first_field != nullptr;
}

bool remember_handle(ObjectRegistry* registry, object_number handle) {
  try {
    registry->live_handles->insert(handle);
    return true;
  } catch (const std::bad_alloc&) {
    return false;
  }
}

void* allocate_dynamic(ObjectRegistry* registry) {
  auto* node = static_cast<DynamicNode*>(
      runtime_alloc(sizeof(DynamicNode) + static_cast<std::size_t>(registry->record_size)));
  if (!node) return nullptr;
  void* record = record_of(node);
  if (!remember_handle(registry, reinterpret_cast<object_number>(record))) {
    runtime_free(node);
    return nullptr;
  }
  node->next = registry->dynamic_head;
  if (registry->dynamic_head) registry->dynamic_head->prev = node;
  registry->dynamic_head = node;
  return record;
}

bool grow_slots(ObjectRegistry* registry, object_number number) {
  std::int64_t new_count = number + registry->slot_step;
  auto* grown = static_cast<void**>(heap_realloc(
      HEAP_RUNTIME, registry->slots, static_cast<std::size_t>(new_count) * sizeof(void*)));
  if (!grown) return false;
  registry->slots = grown;
  registry->slot_count = new_count;
  return true;
}

void unlink_node(ObjectRegistry* registry, DynamicNode* node) {
  if (node->prev)
    node->prev->next = node->next;
  else
    registry->dynamic_head = node->next;
  if (node->next) node->next->prev = node->prev;
  if (registry->iter_node == node) registry->iter_node = node->prev;
}

}  // namespace

ObjectRegistry* registry_create(std::int32_t record_size, std::int32_t slot_step,
                                FreeOperation free_operation) {
  if (record_size < static_cast<std::int32_t>(sizeof(void*)) || slot_step <= 0) return nullptr;
  auto* registry = static_cast<ObjectRegistry*>(runtime_alloc(sizeof(ObjectRegistry)));
  if (!registry) return nullptr;
  void* set_memory = runtime_alloc(sizeof(LiveHandleSet));
  registry->slots = static_cast<void**>(runtime_alloc(sizeof(void*) * slot_step));
  if (!set_memory || !registry->slots) {
    runtime_free(set_memory);
    runtime_free(registry->slots);
    runtime_free(registry);
    return nullptr;
  }
  registry->live_handles = new (set_memory) LiveHandleSet();
  registry->record_size = record_size;
  registry->slot_step = slot_step;
  registry->slot_count = slot_step;
  registry->free_operation = free_operation;
  return registry;
}

bool registry_is_live_handle(const ObjectRegistry* registry, object_number value) {
  return registry->live_handles->count(value) != 0;
}

void* registry_allocate(ObjectRegistry* registry, object_number number) {
  if (!registry) return nullptr;
  if (number == ANY_OBJECT) return allocate_dynamic(registry);
  if (registry_is_live_handle(registry, number)) {
    // Creating under a live handle replaces that object by a new dynamic one.
    if (registry->free_operation) registry->free_operation(number);
    if (registry_is_live_handle(registry, number)) registry_release(registry, number);
    return allocate_dynamic(registry);
  }
  if (number < 0 || number > kLargestNumber) return nullptr;
  if (number >= registry->slot_count && !grow_slots(registry, number)) return nullptr;
  void*& slot = registry->slots[number];
  if (slot) {
    if (registry->free_operation) registry->free_operation(number);
    return slot;
  }
  slot = runtime_alloc(static_cast<std::size_t>(registry->record_size));
  return slot;
}

void* registry_lookup(ObjectRegistry* registry, object_number number_or_handle) {
  if (!registry) return nullptr;
  void* record = nullptr;
  if (is_number(registry, number_or_handle)) {
    record = registry->slots[number_or_handle];
  } else if (registry_is_live_handle(registry, number_or_handle)) {
    record = reinterpret_cast<void*>(number_or_handle);
  }
  return record && record_alive(record) ? record : nullptr;
}

void registry_release(ObjectRegistry* registry, object_number number_or_handle) {
  if (!registry) return;
  if (is_number(registry, number_or_handle)) {
    if (void* record = registry->slots[number_or_handle])
      std::memset(record, 0, static_cast<std::size_t>(registry->record_size));
    return;
  }
  if (!registry_is_live_handle(registry, number_or_handle)) return;
  registry->live_handles->erase(number_or_handle);
  DynamicNode* node = node_of(number_or_handle);
  unlink_node(registry, node);
  runtime_free(node);
}

void* registry_first(ObjectRegistry* registry, object_number* id) {
  if (!registry) return nullptr;
  registry->iter_position = 0;
  DynamicNode* oldest = registry->dynamic_head;
  while (oldest && oldest->next) oldest = oldest->next;
  registry->iter_node = oldest;
  return registry_next(registry, id);
}

void* registry_next(ObjectRegistry* registry, object_number* id) {
  if (!registry) return nullptr;
  while (registry->iter_position < registry->slot_count) {
    std::int64_t position = registry->iter_position++;
    void* record = registry->slots[position];
    if (record && record_alive(record)) {
      if (id) *id = static_cast<object_number>(position);
      return record;
    }
  }
  if (DynamicNode* node = registry->iter_node) {
    registry->iter_node = node->prev;
    void* record = record_of(node);
    if (id) *id = reinterpret_cast<object_number>(record);
    return record;
  }
  return nullptr;
}

void registry_free_all(ObjectRegistry* registry) {
  if (!registry || !registry->free_operation) return;
  object_number id = 0;
  for (void* record = registry_first(registry, &id); record; record = registry_next(registry, &id))
    registry->free_operation(id);
}
