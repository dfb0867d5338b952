// The registry through a small kind of its own: widgets whose "platform
// resource" is a token counted as it is released.
#include "runtime/registry.h"

#include <gtest/gtest.h>

#include <cstring>
#include <vector>

#include "runtime/heap.h"
#include "runtime/heap_testing.h"
#include "support/runtime_fixture.h"

namespace {

struct Widget {
  void* resource;
  int value;
};

ObjectRegistry* widgets = nullptr;
std::vector<object_number> released;  // ids in the order their resources went

void widget_free(object_number id);

std::uintptr_t next_token = 1;

object_number widget_create(object_number number, int value) {
  auto* widget = static_cast<Widget*>(registry_allocate(widgets, number));
  if (!widget) return 0;
  widget->resource = reinterpret_cast<void*>(next_token++);
  widget->value = value;
  // Dynamic objects answer with their handle, numbered ones with non-zero.
  return registry_is_live_handle(widgets, reinterpret_cast<object_number>(widget))
             ? reinterpret_cast<object_number>(widget)
             : 1;
}

void widget_release(object_number id) {
  if (!registry_lookup(widgets, id)) return;
  released.push_back(id);
  registry_release(widgets, id);
}

void widget_free(object_number id) {
  if (id == ANY_OBJECT)
    registry_free_all(widgets);
  else
    widget_release(id);
}

class RegistryTest : public RuntimeTest {
 protected:
  void SetUp() override {
    RuntimeTest::SetUp();
    widgets = registry_create(sizeof(Widget), 16, widget_release);
    ASSERT_NE(widgets, nullptr);
    released.clear();
  }
  Widget* lookup(object_number id) { return static_cast<Widget*>(registry_lookup(widgets, id)); }
};

TEST_F(RegistryTest, number_beyond_table_grows_it_by_the_step) {
  EXPECT_EQ(widgets->slot_count, 16);
  ASSERT_NE(widget_create(100, 7), 0);
  EXPECT_EQ(widgets->slot_count, 116);
  for (object_number n = 0; n < 116; ++n) {
    if (n == 100) continue;
    EXPECT_EQ(widgets->slots[n], nullptr) << n;
  }
  ASSERT_NE(lookup(100), nullptr);
  EXPECT_EQ(lookup(100)->value, 7);
}

TEST_F(RegistryTest, recreating_a_live_number_destroys_the_old_object_in_the_same_record) {
  widget_create(3, 1);
  Widget* first = lookup(3);
  void* first_resource = first->resource;
  widget_create(3, 2);
  ASSERT_EQ(released.size(), 1u);
  EXPECT_EQ(released[0], 3);
  Widget* second = lookup(3);
  EXPECT_EQ(second, first);
  EXPECT_NE(second->resource, first_resource);
  EXPECT_EQ(second->value, 2);
}

TEST_F(RegistryTest, freed_number_is_handed_back_zero_filled) {
  widget_create(5, 42);
  widget_free(5);
  EXPECT_EQ(lookup(5), nullptr);
  auto* record = static_cast<Widget*>(registry_allocate(widgets, 5));
  ASSERT_NE(record, nullptr);
  EXPECT_EQ(record->resource, nullptr);
  EXPECT_EQ(record->value, 0);
}

TEST_F(RegistryTest, record_with_zero_first_field_is_no_object) {
  auto* record = static_cast<Widget*>(registry_allocate(widgets, 2));
  ASSERT_NE(record, nullptr);
  record->value = 9;  // a create whose platform step failed
  EXPECT_EQ(lookup(2), nullptr);
}

TEST_F(RegistryTest, dynamic_objects_get_distinct_handles_and_free_all_goes_in_order) {
  object_number a = widget_create(ANY_OBJECT, 1);
  object_number b = widget_create(ANY_OBJECT, 2);
  widget_create(7, 3);
  widget_create(1, 4);
  ASSERT_NE(a, 0);
  ASSERT_NE(b, 0);
  EXPECT_NE(a, b);
  EXPECT_EQ(lookup(a)->value, 1);
  EXPECT_EQ(lookup(b)->value, 2);
  widget_free(ANY_OBJECT);
  EXPECT_EQ(released, (std::vector<object_number>{1, 7, a, b}));
  EXPECT_EQ(lookup(a), nullptr);
  EXPECT_EQ(lookup(b), nullptr);
  EXPECT_EQ(widgets->dynamic_head, nullptr);
}

TEST_F(RegistryTest, iteration_lists_numbers_ascending_then_handles_oldest_first) {
  object_number old_handle = widget_create(ANY_OBJECT, 10);
  widget_create(9, 11);
  object_number new_handle = widget_create(ANY_OBJECT, 12);
  widget_create(0, 13);
  std::vector<object_number> seen;
  object_number id = 0;
  for (void* r = registry_first(widgets, &id); r; r = registry_next(widgets, &id))
    seen.push_back(id);
  EXPECT_EQ(seen, (std::vector<object_number>{0, 9, old_handle, new_handle}));
}

TEST_F(RegistryTest, values_that_name_nothing_find_nothing_and_change_nothing) {
  object_number handle = widget_create(ANY_OBJECT, 1);
  widget_create(4, 2);
  Widget stranger{reinterpret_cast<void*>(1), 5};  // looks like a live record, is not one
  const object_number bogus[] = {-2,         -1000,
                                 15,         16,
                                 1 << 20,    reinterpret_cast<object_number>(&stranger),
                                 handle + 8, static_cast<object_number>(0x7FFFFFFFFFFF)};
  for (object_number value : bogus) {
    EXPECT_EQ(registry_lookup(widgets, value), nullptr) << value;
    registry_release(widgets, value);
  }
  EXPECT_EQ(registry_allocate(widgets, -2), nullptr);
  EXPECT_EQ(registry_allocate(widgets, static_cast<object_number>(0x7FFFFFFFFFFF)), nullptr);
  EXPECT_EQ(widgets->slot_count, 16);
  EXPECT_EQ(lookup(handle)->value, 1);
  EXPECT_EQ(lookup(4)->value, 2);
  EXPECT_EQ(stranger.value, 5);
}

TEST_F(RegistryTest, released_handle_is_dead_even_if_its_memory_is_reused) {
  object_number handle = widget_create(ANY_OBJECT, 1);
  widget_free(handle);
  EXPECT_EQ(lookup(handle), nullptr);
  EXPECT_FALSE(registry_is_live_handle(widgets, handle));
  widget_free(handle);  // a second free is harmless
  EXPECT_EQ(released.size(), 1u);
}

TEST_F(RegistryTest, creating_under_a_live_handle_replaces_that_object) {
  object_number handle = widget_create(ANY_OBJECT, 1);
  object_number replacement = widget_create(handle, 2);
  ASSERT_NE(replacement, 0);
  EXPECT_EQ(released, (std::vector<object_number>{handle}));
  EXPECT_EQ(lookup(replacement)->value, 2);
  int live = 0;
  object_number id = 0;
  for (void* r = registry_first(widgets, &id); r; r = registry_next(widgets, &id)) ++live;
  EXPECT_EQ(live, 1);
}

TEST_F(RegistryTest, failed_growth_leaves_the_table_as_it_was) {
  heap_fail_next_allocations(1);
  EXPECT_EQ(registry_allocate(widgets, 40), nullptr);
  EXPECT_EQ(widgets->slot_count, 16);
  EXPECT_NE(widget_create(40, 1), 0);
}

}  // namespace
