// What the procedures tell the operator at their end.
#pragma once

namespace radiolink {

inline constexpr const char* kReadOk = "读取成功!";
inline constexpr const char* kReadFailed = "读取失败!";
inline constexpr const char* kWriteOk = "写频正确!";        // a full write
inline constexpr const char* kWriteFailed = "写频错误!";
inline constexpr const char* kBlockWriteOk = "写入成功!";   // a single-block write
inline constexpr const char* kBlockWriteFailed = "写入失败!";

}  // namespace radiolink
