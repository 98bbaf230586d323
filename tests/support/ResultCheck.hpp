#pragma once
// ASSERT_TRUE(Succeeded(spool.Open(...))): on a failure, gtest prints its reason.
#include <gtest/gtest.h>

#include "text/Result.hpp"

namespace qelt::test {

template <typename T>
::testing::AssertionResult Succeeded(const Result<T>& result) {
  if (result) return ::testing::AssertionSuccess();
  return ::testing::AssertionFailure() << result.Reason();
}

}  // namespace qelt::test
