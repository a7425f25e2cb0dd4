#include "error_description.h"

#include <windows.h>

#include <new>
#include <stdexcept>
#include <system_error>

#include "text_encoding.h"

namespace dsf2vemo::gui {

std::wstring ErrorDescription(std::exception_ptr failure) {
    try {
        std::rethrow_exception(failure);
    } catch (const std::bad_alloc&) {
        return L"there is not enough memory";
    } catch (const std::exception& error) {
        try {
            return Utf8ToWide(error.what());
        } catch (const std::exception&) {
            return L"an error whose description can't be shown";
        }
    } catch (...) {
        return L"an unknown error";
    }
}

void ThrowLastError(const char* what) {
    throw std::system_error(static_cast<int>(GetLastError()), std::system_category(), what);
}

}  // namespace dsf2vemo::gui
