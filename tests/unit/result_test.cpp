// The one result convention: Win32 BOOLs and status codes as HRESULTs, a
// failure without an error still a failure, and the early returns.
#include <gtest/gtest.h>

#include "lensbeacon/result.h"

namespace lensbeacon {
namespace {

HRESULT PassesOn(HRESULT first, HRESULT second, int& reached) {
    reached = 0;
    LB_RETURN_IF_FAILED(first);
    reached = 1;
    LB_RETURN_IF_FAILED(second);
    reached = 2;
    return S_FALSE;
}

HRESULT FromBool(BOOL value, DWORD error) {
    ::SetLastError(error);
    LB_RETURN_IF_WIN32_BOOL_FALSE(value);
    return S_FALSE;
}

HRESULT FromPointer(const void* value, DWORD error) {
    ::SetLastError(error);
    LB_RETURN_LAST_ERROR_IF_NULL(value);
    return S_FALSE;
}

HRESULT Refuses(bool refused) {
    LB_RETURN_HR_IF(E_ACCESSDENIED, refused);
    return S_FALSE;
}

TEST(Result, Win32ResultsBecomeHresultsAndAFailureWithoutAnErrorStaysAFailure) {
    ::SetLastError(ERROR_ACCESS_DENIED);
    EXPECT_EQ(ResultFromBool(TRUE), S_OK);
    EXPECT_EQ(ResultFromBool(FALSE), HRESULT_FROM_WIN32(ERROR_ACCESS_DENIED));
    ::SetLastError(ERROR_SUCCESS);
    EXPECT_EQ(ResultFromBool(FALSE), E_FAIL);
    EXPECT_EQ(LastErrorResult(), E_FAIL);
    EXPECT_EQ(ResultFromStatus(ERROR_SUCCESS), S_OK);
    EXPECT_EQ(ResultFromStatus(ERROR_FILE_NOT_FOUND), HRESULT_FROM_WIN32(ERROR_FILE_NOT_FOUND));
}

TEST(Result, TheMacrosReturnTheFirstFailureAndGoOnOtherwise) {
    int reached = -1;
    EXPECT_EQ(PassesOn(S_OK, S_FALSE, reached), S_FALSE);
    EXPECT_EQ(reached, 2);
    EXPECT_EQ(PassesOn(E_OUTOFMEMORY, E_FAIL, reached), E_OUTOFMEMORY);
    EXPECT_EQ(reached, 0);
    EXPECT_EQ(PassesOn(S_OK, E_ACCESSDENIED, reached), E_ACCESSDENIED);
    EXPECT_EQ(reached, 1);

    EXPECT_EQ(FromBool(TRUE, ERROR_INVALID_HANDLE), S_FALSE);
    EXPECT_EQ(FromBool(FALSE, ERROR_INVALID_HANDLE), HRESULT_FROM_WIN32(ERROR_INVALID_HANDLE));
    const int some = 0;
    EXPECT_EQ(FromPointer(&some, ERROR_NOT_ENOUGH_MEMORY), S_FALSE);
    EXPECT_EQ(FromPointer(nullptr, ERROR_NOT_ENOUGH_MEMORY),
              HRESULT_FROM_WIN32(ERROR_NOT_ENOUGH_MEMORY));
    EXPECT_EQ(Refuses(true), E_ACCESSDENIED);
    EXPECT_EQ(Refuses(false), S_FALSE);
}

}  // namespace
}  // namespace lensbeacon
