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
};

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

}  // namespace host
