// What the procedures tell the operator: the results at their end, and the detail lines that
// say what went wrong.
#pragma once

namespace radiolink {

inline constexpr const char* kReadOk = "读取成功!";
inline constexpr const char* kReadFailed = "读取失败!";
inline constexpr const char* kWriteOk = "写频正确!";        // a full write
inline constexpr const char* kWriteFailed = "写频错误!";
inline constexpr const char* kBlockWriteOk = "写入成功!";   // a single-block write
inline constexpr const char* kBlockWriteFailed = "写入失败!";

inline constexpr const char* kBusy = "另一个通讯操作正在进行, 请等它结束";
inline constexpr const char* kNoAnswer = "电台没有回应";
inline constexpr const char* kHungUp = "端口已关闭或连接线已拔出";
// A write or restore whose backup was not read and saved: it sent nothing.
inline constexpr const char* kNothingWritten = "没有写入任何数据: 写前备份没有完成";
// More came than an answer holds (and a margin): the rest was not taken.
inline constexpr const char* kFlooded = "电台发来的数据远多于应答, 多余的没有接收";

}  // namespace radiolink
