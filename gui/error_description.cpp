#include "error_description.h"

#include <new>
#include <stdexcept>

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

}  // namespace dsf2vemo::gui
