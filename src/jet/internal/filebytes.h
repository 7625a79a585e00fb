// Little-endian reads and the reader's one way of giving up on a damaged file.
#pragma once

#ifndef ALTORRA_JET_INTERNAL
#error "jet/internal headers are private to the reader library (altorra_jet)"
#endif

#include <QtGlobal>

#include "jet/jet.h"

namespace jet {

inline quint16 u16(const uchar* p) {
    return quint16(p[0] | (p[1] << 8));
}
inline quint32 u32(const uchar* p) {
    return quint32(p[0]) | (quint32(p[1]) << 8) | (quint32(p[2]) << 16) | (quint32(p[3]) << 24);
}
inline quint64 u64(const uchar* p) {
    return quint64(u32(p)) | (quint64(u32(p + 4)) << 32);
}

// Thrown by the reader when the file cannot be read as it claims to be laid out (the damaged-file
// error), or when a value cannot be shown (a column of a kind the viewer refuses). The engine
// ends the record source with this error.
struct ReadFailure {
    Error error;
};

}  // namespace jet
