// The library's own errors (class 1) by their native codes (LibErr).
#pragma once

#include "frame/db/SQLAPI.h"

namespace orvdb {

inline bool IsLibError(const SAException& e, int code) {
    return e.ErrClass() == SA_Library_Error && e.ErrNativeCode() == code;
}

}  // namespace orvdb
