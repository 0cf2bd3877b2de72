#include "users/jpeg.h"

#include <csetjmp>
#include <cstdio>

#include <jpeglib.h>

namespace users {
namespace {

// libjpeg reports a fatal error by calling error_exit, which must not return: jump back.
struct ErrorManager {
    jpeg_error_mgr base;
    std::jmp_buf jump;
    char message[JMSG_LENGTH_MAX];
};

// Warnings about a damaged picture are libjpeg's to print on stderr; the window says what
// matters in its own message.
void quiet(j_common_ptr) {}

void onError(j_common_ptr info) {
    auto* manager = reinterpret_cast<ErrorManager*>(info->err);
    (*info->err->format_message)(info, manager->message);
    std::longjmp(manager->jump, 1);
}

}  // namespace

std::optional<Picture> DecodeJpeg(std::string_view bytes, std::string& error) {
    if (bytes.size() < 4 || static_cast<unsigned char>(bytes[0]) != 0xFF || static_cast<unsigned char>(bytes[1]) != 0xD8) {
        error = "the file is no JPEG picture";
        return std::nullopt;
    }
    jpeg_decompress_struct info{};
    ErrorManager manager{};
    info.err = jpeg_std_error(&manager.base);
    manager.base.error_exit = onError;
    manager.base.output_message = quiet;
    // Everything the jump may skip lives outside this frame's automatic objects.
    auto* picture = new Picture;
    if (setjmp(manager.jump)) {
        jpeg_destroy_decompress(&info);
        error = std::string("the JPEG picture cannot be read: ") + manager.message;
        delete picture;
        return std::nullopt;
    }
    jpeg_create_decompress(&info);
    jpeg_mem_src(&info, reinterpret_cast<const unsigned char*>(bytes.data()), static_cast<unsigned long>(bytes.size()));
    jpeg_read_header(&info, TRUE);
    info.out_color_space = JCS_RGB;
    jpeg_start_decompress(&info);
    picture->width = static_cast<int>(info.output_width);
    picture->height = static_cast<int>(info.output_height);
    picture->rgb.resize(static_cast<std::size_t>(picture->width) * static_cast<std::size_t>(picture->height) * 3);
    while (info.output_scanline < info.output_height) {
        JSAMPROW row = picture->rgb.data() + static_cast<std::size_t>(info.output_scanline) * picture->width * 3;
        jpeg_read_scanlines(&info, &row, 1);
    }
    jpeg_finish_decompress(&info);
    jpeg_destroy_decompress(&info);
    Picture result = std::move(*picture);
    delete picture;
    return result;
}

std::string EncodeJpeg(const Picture& picture, int quality) {
    jpeg_compress_struct info{};
    jpeg_error_mgr manager{};
    info.err = jpeg_std_error(&manager);
    jpeg_create_compress(&info);
    unsigned char* buffer = nullptr;
    unsigned long size = 0;
    jpeg_mem_dest(&info, &buffer, &size);
    info.image_width = static_cast<JDIMENSION>(picture.width);
    info.image_height = static_cast<JDIMENSION>(picture.height);
    info.input_components = 3;
    info.in_color_space = JCS_RGB;
    jpeg_set_defaults(&info);
    jpeg_set_quality(&info, quality, TRUE);
    jpeg_start_compress(&info, TRUE);
    while (info.next_scanline < info.image_height) {
        auto* row = const_cast<JSAMPROW>(picture.rgb.data() + static_cast<std::size_t>(info.next_scanline) * picture.width * 3);
        jpeg_write_scanlines(&info, &row, 1);
    }
    jpeg_finish_compress(&info);
    std::string out(reinterpret_cast<const char*>(buffer), size);
    jpeg_destroy_compress(&info);
    std::free(buffer);
    return out;
}

}  // namespace users
