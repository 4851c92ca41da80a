#pragma once

// The program's texts as the operator must see them, character for character. Kept here, apart
// from the program's own copies, so that a changed word anywhere fails the tests.
inline constexpr const char* kSavedText = "History data was successfully saved";
inline constexpr const char* kNotSavedText = "History data was not saved";
inline constexpr const char* kRequestPortFailureText = "Can't open comm port";
inline constexpr const char* kModePortFailureText = "Can't open comm port!";
inline constexpr const char* kNoResponseText = "Error - No response from QM4250";
inline constexpr const char* kTestInProgressText = "Test is in progress! Mode cannot be changed";
