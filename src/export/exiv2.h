// libexiv2's headers, without the warnings their use of std::auto_ptr gives
// in C++17. Used by addexif and by the tests that read its work back.
#pragma once

#if defined(__GNUC__)
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wdeprecated-declarations"
#endif
#include <exiv2/exiv2.hpp>
#if defined(__GNUC__)
#pragma GCC diagnostic pop
#endif
