// Named mutexes: one object per name for as long as a handle is open, the last error
// telling a creator whether it was first, and recursive ownership per thread.
#include <errhandlingapi.h>
#include <gtest/gtest.h>
#include <synchapi.h>

TEST(NamedMutex, SecondCreatorFindsTheFirstUntilTheLastHandleCloses) {
  HANDLE first = CreateMutexW(nullptr, FALSE, L"tabrik-test-mutex");
  ASSERT_NE(first, nullptr);
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_SUCCESS));

  HANDLE second = CreateMutexW(nullptr, FALSE, L"tabrik-test-mutex");
  ASSERT_NE(second, nullptr);
  EXPECT_NE(second, first);
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_ALREADY_EXISTS));

  EXPECT_TRUE(CloseHandle(first));
  HANDLE opened = OpenMutexW(SYNCHRONIZE, FALSE, L"tabrik-test-mutex");
  EXPECT_NE(opened, nullptr);
  EXPECT_TRUE(CloseHandle(opened));
  EXPECT_TRUE(CloseHandle(second));

  EXPECT_EQ(OpenMutexW(SYNCHRONIZE, FALSE, L"tabrik-test-mutex"), nullptr);
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_FILE_NOT_FOUND));
  EXPECT_FALSE(CloseHandle(second));
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_HANDLE));
}

TEST(NamedMutex, NamesAreDistinctAndUnnamedMutexesAreAlwaysNew) {
  HANDLE a = CreateMutexW(nullptr, FALSE, L"tabrik-a");
  HANDLE b = CreateMutexW(nullptr, FALSE, L"tabrik-b");
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_SUCCESS));
  HANDLE unnamed1 = CreateMutexW(nullptr, FALSE, nullptr);
  HANDLE unnamed2 = CreateMutexW(nullptr, FALSE, nullptr);
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_SUCCESS));
  for (HANDLE h : {a, b, unnamed1, unnamed2}) {
    EXPECT_TRUE(CloseHandle(h));
  }
}

TEST(NamedMutex, OwnershipIsRecursiveAndOnlyTheOwnerReleases) {
  HANDLE owned = CreateMutexW(nullptr, TRUE, L"tabrik-owned");
  HANDLE again = CreateMutexW(nullptr, TRUE, L"tabrik-owned");  // exists: not taken again
  EXPECT_TRUE(ReleaseMutex(owned));
  EXPECT_FALSE(ReleaseMutex(owned));
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_ACCESS_DENIED));
  HANDLE notOwned = CreateMutexW(nullptr, FALSE, L"tabrik-free");
  EXPECT_FALSE(ReleaseMutex(notOwned));
  for (HANDLE h : {owned, again, notOwned}) {
    EXPECT_TRUE(CloseHandle(h));
  }
}
