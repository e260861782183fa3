#include "app/flow/ExportResults.h"

namespace nc16 {

const ResultCodes& CodesOf(ExportResult result, bool log_failed) {
  // clang-format off
  static constexpr ResultCodes kWritten       {0, 0, "written",     0};
  static constexpr ResultCodes kNoEmployee    {3, 1, "no-employee", 1};
  static constexpr ResultCodes kProblems      {5, 1, "problems",    2};
  static constexpr ResultCodes kLogFailed     {6, 0, "log-failed",  3};
  static constexpr ResultCodes kNoPassword    {4, 2, "no-password", 4};
  static constexpr ResultCodes kRefused       {4, 2, "refused",     4};
  static constexpr ResultCodes kRequestRefused{4, 2, "failed",      4};
  static constexpr ResultCodes kFailed        {4, 2, "failed",      4};
  // clang-format on
  switch (result) {
    case ExportResult::kWritten:
      return log_failed ? kLogFailed : kWritten;
    case ExportResult::kNoEmployee:
      return kNoEmployee;
    case ExportResult::kProblems:
      return kProblems;
    case ExportResult::kDataSetRefused:
      return kRefused;
    case ExportResult::kRequestRefused:
      return kRequestRefused;
    case ExportResult::kNoManagementPassword:
      return kNoPassword;
    case ExportResult::kFailed:
      break;
  }
  return kFailed;
}

}  // namespace nc16
