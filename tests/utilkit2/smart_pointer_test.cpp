// Sharing, conversion, destruction and the empty-dereference assertion of smart_pointer_t.
#include "utilkit2/smart_pointer.h"

#include <gtest/gtest.h>

#include "support/assertion_recorder.h"

namespace {

using utilkit2::smart_pointer_t;

struct counted_t {
  explicit counted_t(int* deaths) : deaths(deaths) {}
  virtual ~counted_t() { ++*deaths; }
  int* deaths;
};

struct derived_t : counted_t {
  using counted_t::counted_t;
};

TEST(smart_pointer, the_last_owner_deletes_once) {
  int deaths = 0;
  {
    smart_pointer_t<counted_t> sole(new counted_t(&deaths));
    auto& alias = sole;
    sole = alias;  // self-assignment keeps the object
    EXPECT_EQ(deaths, 0);
  }
  EXPECT_EQ(deaths, 1);
  smart_pointer_t<counted_t> a(new counted_t(&deaths));
  {
    smart_pointer_t<counted_t> b = a, c;
    c = b;
    const smart_pointer_t<counted_t> moved = std::move(b);
    EXPECT_TRUE(b.is_empty());  // moving empties the source
    EXPECT_EQ(a.use_count(), 3);
  }
  EXPECT_EQ(deaths, 1);
  EXPECT_EQ(a.use_count(), 1);
  a = smart_pointer_t<counted_t>();
  EXPECT_EQ(deaths, 2);
}

TEST(smart_pointer, converted_and_cast_pointers_share_one_count) {
  int deaths = 0;
  const smart_pointer_t<counted_t> plain(new counted_t(&deaths));
  EXPECT_TRUE(plain.dynamic_cast_to<derived_t>().is_empty());
  EXPECT_EQ(plain.use_count(), 1);  // the failed cast owns nothing
  smart_pointer_t<derived_t> derived(new derived_t(&deaths));
  smart_pointer_t<counted_t> base = derived;
  derived.reset();
  smart_pointer_t<derived_t> back = base.dynamic_cast_to<derived_t>();
  base.reset();
  EXPECT_EQ(deaths, 0);
  back.reset();
  EXPECT_EQ(deaths, 1);
}

TEST(smart_pointer, dereferencing_an_empty_pointer_asserts_then_throws) {
  sv4_test::assertion_recorder_t recorder;
  const smart_pointer_t<counted_t> empty;
  EXPECT_THROW((void)empty->deaths, utilkit2::null_pointer_error);
  EXPECT_THROW((void)*empty, std::logic_error);
  EXPECT_EQ(recorder.expressions(), (std::vector<std::string>{"m_ptr != 0", "m_ptr != 0"}));
}

}  // namespace
