#include "users/login_picture.h"

#include <cmath>
#include <cstdlib>
#include <numbers>
#include <string>

#include "users/jpeg.h"
#include "users/user_files.h"
#include "base/text.h"

namespace users {
namespace {

Picture draw() {
    Picture p;
    p.width = 640;
    p.height = 480;
    p.rgb.resize(640 * 480 * 3);
    auto put = [&](int x, int y, int r, int g, int b) {
        if (x < 0 || y < 0 || x >= p.width || y >= p.height) return;
        auto* px = &p.rgb[(static_cast<std::size_t>(y) * 640 + static_cast<std::size_t>(x)) * 3];
        px[0] = static_cast<std::uint8_t>(r);
        px[1] = static_cast<std::uint8_t>(g);
        px[2] = static_cast<std::uint8_t>(b);
    };
    for (int y = 0; y < 480; ++y) {
        const double t = y / 480.0;  // deep blue at the top to amber at the horizon
        for (int x = 0; x < 640; ++x)
            put(x, y, static_cast<int>(20 + 200 * t), static_cast<int>(40 + 110 * t), static_cast<int>(110 - 40 * t));
    }
    for (int x = 0; x < 640; ++x) {  // hills
        const int top = 360 + static_cast<int>(25 * std::sin(x / 70.0) + 12 * std::sin(x / 23.0));
        for (int y = top; y < 480; ++y) put(x, y, 25, 45 + (y - top) / 4, 35);
    }
    const int mastX = 470, mastTop = 150, mastFoot = 352;  // a lattice mast
    for (int y = mastTop; y < mastFoot; ++y) {
        const int half = (y - mastTop) / 12 + 1;
        put(mastX - half, y, 15, 15, 20);
        put(mastX + half, y, 15, 15, 20);
        if ((y - mastTop) % 14 == 0)
            for (int x = mastX - half; x <= mastX + half; ++x) put(x, y, 15, 15, 20);
    }
    for (int ring = 1; ring <= 3; ++ring)  // waves from the top
        for (int a = -40; a <= 40; ++a) {
            const double angle = a * std::numbers::pi / 180.0;
            const int r = 18 * ring;
            put(mastX + static_cast<int>(r * std::sin(angle)), mastTop - static_cast<int>(r * std::cos(angle)), 250, 230, 180);
            put(mastX - static_cast<int>(r * std::sin(angle)), mastTop - static_cast<int>(r * std::cos(angle)), 250, 230, 180);
        }
    return p;
}

}  // namespace

base::Outcome<Background> LoadBackground(const std::string& path) {
    auto bytes = ReadUserFile(path, kMaxPictureFileBytes);
    if (!bytes.ok()) return base::Failure<Background>(bytes);
    auto picture = DecodeJpeg(bytes.value, kWindowWidth, kWindowHeight);
    if (!picture.ok())
        return base::Failure<Background>(base::Tr("\"%1\" 不是可用的 JPEG 图片 (%2)", path, picture.error));
    return base::Success(Background{std::move(bytes.value), std::move(picture.value)});
}

std::string_view BuiltInPicture() {
    static const std::string jpeg = EncodeJpeg(draw());
    return jpeg;
}

}  // namespace users
