#include "windows/jpegimage.h"

#include <csetjmp>
#include <cstdio>

#include <jpeglib.h>

namespace {

struct JpegErrors
{
    jpeg_error_mgr manager;
    std::jmp_buf escape;
    char message[JMSG_LENGTH_MAX];
};

// libjpeg gives up through this; control goes back to the setjmp below.
[[noreturn]] void onFatal(j_common_ptr info)
{
    auto *errors = reinterpret_cast<JpegErrors *>(info->err);
    (*info->err->format_message)(info, errors->message);
    std::longjmp(errors->escape, 1);
}

// Warnings (a picture cut short, say) are not worth a line on the terminal.
void onWarning(j_common_ptr) {}

// Keeps every C++ object out of the function that calls setjmp, so that the
// jump back skips no destructor: the picture lives in the caller.
bool decodeInto(const unsigned char *data, unsigned long size, QImage &picture, char *failure)
{
    jpeg_decompress_struct info;
    JpegErrors errors;
    info.err = jpeg_std_error(&errors.manager);
    errors.manager.error_exit = onFatal;
    errors.manager.output_message = onWarning;
    errors.message[0] = '\0';
    if (setjmp(errors.escape)) {
        jpeg_destroy_decompress(&info);
        std::snprintf(failure, JMSG_LENGTH_MAX, "%s", errors.message);
        return false;
    }
    jpeg_create_decompress(&info);
    jpeg_mem_src(&info, data, size);
    jpeg_read_header(&info, TRUE);
    if (info.jpeg_color_space != JCS_GRAYSCALE && info.jpeg_color_space != JCS_YCbCr &&
        info.jpeg_color_space != JCS_RGB) {
        jpeg_destroy_decompress(&info);
        std::snprintf(failure, JMSG_LENGTH_MAX, "Unsupported JPEG colour space");
        return false;
    }
    if (info.image_width > unsigned(jpegimage::kMaxSide) ||
        info.image_height > unsigned(jpegimage::kMaxSide)) {
        jpeg_destroy_decompress(&info);
        std::snprintf(failure, JMSG_LENGTH_MAX, "JPEG picture too large");
        return false;
    }
    info.out_color_space = JCS_RGB;
    jpeg_start_decompress(&info);
    picture = QImage(int(info.output_width), int(info.output_height), QImage::Format_RGB888);
    if (picture.isNull()) {
        jpeg_destroy_decompress(&info);
        std::snprintf(failure, JMSG_LENGTH_MAX, "Not enough memory for the JPEG picture");
        return false;
    }
    while (info.output_scanline < info.output_height) {
        JSAMPROW row = picture.scanLine(int(info.output_scanline));
        jpeg_read_scanlines(&info, &row, 1);
    }
    jpeg_finish_decompress(&info);
    jpeg_destroy_decompress(&info);
    return true;
}

} // namespace

namespace jpegimage {

QImage decode(const QByteArray &jpeg, QString *error)
{
    QImage picture;
    char failure[JMSG_LENGTH_MAX] = "Empty JPEG data";
    const bool decoded =
        !jpeg.isEmpty() && decodeInto(reinterpret_cast<const unsigned char *>(jpeg.constData()),
                                      static_cast<unsigned long>(jpeg.size()), picture, failure);
    if (!decoded) {
        if (error)
            *error = QString::fromLatin1(failure);
        return {};
    }
    if (error)
        error->clear();
    return picture;
}

} // namespace jpegimage
