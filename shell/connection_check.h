// 检测连接 in the windows: the connection check (link/doctor.h) on the selected port, told in
// a box with its fix, and a report for a support request saved on request.
#pragma once

namespace shell {

inline constexpr const char* kOfferCheck = "电台没有回应。现在检测连接, 查明原因吗?";
inline constexpr const char* kCheckSends = "检测只发送握手和读取一块, 不写入电台, 最多 5 秒。";
inline constexpr const char* kChecking = "正在检测连接";  // the busy window adds ", 请稍候..."
inline constexpr const char* kSaveReport = "保存一份检测报告 (发给技术支持)?";

}  // namespace shell
