#include "users/jpeg.h"

#include <csetjmp>
#include <cstdio>
#include <cstdlib>
#include <string>

#include <jpeglib.h>
#include <jerror.h>

#include "base/text.h"

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

// A progressive picture is read scan by scan; a file of many tiny scans would take minutes.
constexpr int kMaxScans = 256;
// libjpeg's working memory (a progressive picture keeps all its coefficients); beyond this it
// fails with "insufficient memory" rather than grow.
constexpr long kMaxDecoderMemory = 96L << 20;

void onProgress(j_common_ptr info) {
    auto* decoder = reinterpret_cast<j_decompress_ptr>(info);
    if (decoder->input_scan_number > kMaxScans) {
        auto* manager = reinterpret_cast<ErrorManager*>(info->err);
        std::snprintf(manager->message, sizeof manager->message, "more than %d scans", kMaxScans);
        std::longjmp(manager->jump, 1);
    }
}

// The largest 1/denominator (8, 4, 2, 1) that still covers the size to fit.
unsigned scaleFor(unsigned width, unsigned height, int fitWidth, int fitHeight) {
    if (fitWidth <= 0 || fitHeight <= 0) return 1;
    for (unsigned d = 8; d > 1; d /= 2)
        if ((width + d - 1) / d >= static_cast<unsigned>(fitWidth) && (height + d - 1) / d >= static_cast<unsigned>(fitHeight))
            return d;
    return 1;
}

void onError(j_common_ptr info) {
    auto* manager = reinterpret_cast<ErrorManager*>(info->err);
    if (info->err->msg_code == JERR_NO_BACKING_STORE || info->err->msg_code == JERR_OUT_OF_MEMORY)
        std::snprintf(manager->message, sizeof manager->message, "decoding it needs more than %ld MiB",
                      kMaxDecoderMemory >> 20);
    else
        (*info->err->format_message)(info, manager->message);
    std::longjmp(manager->jump, 1);
}

}  // namespace

base::Outcome<Picture> DecodeJpeg(std::string_view bytes, int fitWidth, int fitHeight) {
    if (bytes.size() < 4 || static_cast<unsigned char>(bytes[0]) != 0xFF || static_cast<unsigned char>(bytes[1]) != 0xD8) {
        return base::Failure<Picture>(base::Tr("文件不是JPEG图片"));
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
        delete picture;
        return base::Failure<Picture>(std::string("the JPEG picture cannot be read: ") + manager.message);
    }
    jpeg_create_decompress(&info);
    info.mem->max_memory_to_use = kMaxDecoderMemory;
    jpeg_progress_mgr progress{};
    progress.progress_monitor = onProgress;
    info.progress = &progress;
    jpeg_mem_src(&info, reinterpret_cast<const unsigned char*>(bytes.data()), static_cast<unsigned long>(bytes.size()));
    jpeg_read_header(&info, TRUE);
    if (info.image_width > static_cast<unsigned>(kMaxPictureSide) || info.image_height > static_cast<unsigned>(kMaxPictureSide)) {
        jpeg_destroy_decompress(&info);
        delete picture;
        return base::Failure<Picture>(base::Tr("图片有 %1 x %2 像素, 超过 %3 x %3", std::to_string(info.image_width),
                                                std::to_string(info.image_height), kMaxPictureSide));
    }
    info.out_color_space = JCS_RGB;
    info.scale_num = 1;
    info.scale_denom = scaleFor(info.image_width, info.image_height, fitWidth, fitHeight);
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
    base::Outcome<Picture> result = base::Success(std::move(*picture));
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
