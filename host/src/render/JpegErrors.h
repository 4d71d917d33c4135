// libjpeg's error handling for the readers of placed files: libjpeg's default handler ends the
// process; this one keeps the message and jumps back to the reader, whose frame holds the jump
// target and no C++ object with a destructor between setjmp and the longjmp.
#pragma once

#include <csetjmp>
#include <cstdio>

#include <jpeglib.h>

namespace host {

struct JpegErrors {
    jpeg_error_mgr manager{};
    std::jmp_buf back{};
    char message[JMSG_LENGTH_MAX] = {};
    jpeg_progress_mgr progress{};
};

// The most scans a progressive JPEG image may have: an ordinary one has about ten, and each scan
// is a pass over every block of the image, so that a small file of empty scans could otherwise keep
// the decoder busy for minutes (libjpeg-turbo's own tools bound them the same way).
inline constexpr int kMostJpegScans = 256;

// Ends the decompression, through the error jump, once the image has more scans than that.
inline void JpegScanLimit(j_common_ptr info) {
    auto* decompress = reinterpret_cast<j_decompress_ptr>(info);
    if (info->is_decompressor && decompress->input_scan_number > kMostJpegScans) {
        auto* errors = reinterpret_cast<JpegErrors*>(info->err);
        std::snprintf(errors->message, sizeof errors->message, "it has more than %d scans", kMostJpegScans);
        std::longjmp(errors->back, 1);
    }
}

[[noreturn]] inline void JpegErrorExit(j_common_ptr info) {
    auto* errors = reinterpret_cast<JpegErrors*>(info->err);
    (*info->err->format_message)(info, errors->message);
    std::longjmp(errors->back, 1);
}

inline void JpegIgnoreMessage(j_common_ptr /*info*/, int /*level*/) {}

// Makes the reader's errors jump back to errors.back, warnings said nowhere.
inline void SetJpegErrors(jpeg_decompress_struct& info, JpegErrors& errors) {
    info.err = jpeg_std_error(&errors.manager);
    errors.manager.error_exit = JpegErrorExit;
    errors.manager.emit_message = JpegIgnoreMessage;
}

// Makes an image of more scans than kMostJpegScans an error; after jpeg_create_decompress, which
// clears the monitor.
inline void LimitJpegScans(jpeg_decompress_struct& info, JpegErrors& errors) {
    errors.progress.progress_monitor = JpegScanLimit;
    info.progress = &errors.progress;
}

}  // namespace host
