// Sharing, destruction and the empty-dereference assertion of smart_pointer_t.
#include "utilkit2/smart_pointer.h"

#include <gtest/gtest.h>

#include "support/assertion_recorder.h"

namespace {

struct counted_t {
  explicit counted_t(int* deaths) : deaths(deaths) {}
  virtual ~counted_t() { ++*deaths; }
  int* deaths;
};

struct derived_t : counted_t {
  using counted_t::counted_t;
  int extra = 7;
};

TEST(smart_pointer, sole_owner_deletes_on_destruction_without_a_count) {
  int deaths = 0;
  {
    utilkit2::smart_pointer_t<counted_t> p(new counted_t(&deaths));
    EXPECT_EQ(p.use_count(), 1);
  }
  EXPECT_EQ(deaths, 1);
}

TEST(smart_pointer, copies_share_and_the_last_owner_deletes) {
  int deaths = 0;
  utilkit2::smart_pointer_t<counted_t> a(new counted_t(&deaths));
  {
    utilkit2::smart_pointer_t<counted_t> b = a;
    utilkit2::smart_pointer_t<counted_t> c;
    c = b;
    EXPECT_EQ(a.use_count(), 3);
    EXPECT_EQ(c.get(), a.get());
  }
  EXPECT_EQ(deaths, 0);
  EXPECT_EQ(a.use_count(), 1);
  a.reset();
  EXPECT_EQ(deaths, 1);
  EXPECT_TRUE(a.is_empty());
}

TEST(smart_pointer, converted_and_cast_pointers_share_one_count) {
  int deaths = 0;
  utilkit2::smart_pointer_t<derived_t> d(new derived_t(&deaths));
  utilkit2::smart_pointer_t<counted_t> base = d;
  d.reset();
  EXPECT_EQ(deaths, 0);
  utilkit2::smart_pointer_t<derived_t> back = base.dynamic_cast_to<derived_t>();
  ASSERT_FALSE(back.is_empty());
  EXPECT_EQ(back->extra, 7);
  base.reset();
  EXPECT_EQ(deaths, 0);
  back.reset();
  EXPECT_EQ(deaths, 1);
}

TEST(smart_pointer, dynamic_cast_to_an_unrelated_class_is_empty_and_owns_nothing) {
  int deaths = 0;
  utilkit2::smart_pointer_t<counted_t> base(new counted_t(&deaths));
  EXPECT_TRUE(base.dynamic_cast_to<derived_t>().is_empty());
  EXPECT_EQ(base.use_count(), 1);
}

TEST(smart_pointer, self_assignment_and_move_keep_the_object) {
  int deaths = 0;
  utilkit2::smart_pointer_t<counted_t> a(new counted_t(&deaths));
  auto& alias = a;
  a = alias;
  utilkit2::smart_pointer_t<counted_t> b = std::move(a);
  EXPECT_TRUE(a.is_empty());
  EXPECT_EQ(deaths, 0);
  b = utilkit2::smart_pointer_t<counted_t>();
  EXPECT_EQ(deaths, 1);
}

TEST(smart_pointer, dereferencing_an_empty_pointer_asserts_then_throws) {
  sv4_test::assertion_recorder_t recorder;
  utilkit2::smart_pointer_t<counted_t> empty;
  EXPECT_THROW((void)empty->deaths, utilkit2::null_pointer_error);
  EXPECT_THROW((void)*empty, std::logic_error);
  ASSERT_EQ(recorder.reports().size(), 2u);
  EXPECT_EQ(recorder.reports()[0].expression, "m_ptr != 0");
}

}  // namespace
