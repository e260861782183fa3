#pragma once
// What Windows tells of a file by its name, without opening it for reading or writing.

#include <windows.h>

#include <filesystem>
#include <optional>

namespace nc16::platform::win32 {

// The file's information (volume, file index, size, times); nothing when it cannot be had. No
// access is asked for and every sharing is allowed, so looking never disturbs a program that
// has the file open.
std::optional<BY_HANDLE_FILE_INFORMATION> FileInfoOf(const std::filesystem::path& file);

}  // namespace nc16::platform::win32
