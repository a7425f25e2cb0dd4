#pragma once

// Who the program comes from and where its page is: the holder named in the about box's notice
// and the web host its link shows and opens. Kept here alone so that they change in one place.
namespace dsf2vemo::about {

inline constexpr wchar_t kCopyrightHolder[] = L"The dsf2vemo authors";
inline constexpr wchar_t kWebHost[] = L"dsf2vemo.example.org";
// The product page on that host.
inline constexpr wchar_t kProductPath[] = L"/vemo";

}  // namespace dsf2vemo::about
