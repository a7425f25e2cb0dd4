#include "failure_description.h"

#include <new>
#include <stdexcept>

namespace dsf2vemo {

std::string FailureDescription(std::exception_ptr failure) {
    try {
        std::rethrow_exception(failure);
    } catch (const std::bad_alloc&) {
        return "not enough memory";
    } catch (const std::exception& error) {
        return error.what();
    } catch (...) {
        return "an unknown error";
    }
}

}  // namespace dsf2vemo
