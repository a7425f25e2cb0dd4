#pragma once

#include <string>
#include <string_view>

#include "reverse_instr.h"

namespace dsf2vemo {

// Splits a path into directory, file name without extension and extension. Only `separator`
// (a backslash unless told otherwise) divides folders; the extension is searched for in the file
// name alone, so a dot in a folder name never yields one.
template <class Char>
class BasicPathDivide {
  public:
    using String = std::basic_string<Char>;
    using View = std::basic_string_view<Char>;

    explicit BasicPathDivide(Char separator = Char('\\')) : separator_(separator) {}

    void Init(View path) {
        full_path_ = String(path);
        const Char separator[] = {separator_};
        const std::size_t i = ReverseInstr<Char>(path, View(separator, 1));
        View file_name = path;
        if (i == 0) {
            directory_.clear();
        } else {
            directory_ = String(path.substr(0, i - 1));
            file_name = path.substr(i);
        }
        const Char dot[] = {Char('.')};
        const std::size_t j = ReverseInstr<Char>(file_name, View(dot, 1));
        if (j == 0) {
            name_only_ = String(file_name);
            extension_.clear();
        } else {
            name_only_ = String(file_name.substr(0, j - 1));
            extension_ = String(file_name.substr(j));
        }
    }

    const String& FullPath() const { return full_path_; }
    const String& Directory() const { return directory_; }
    const String& NameOnly() const { return name_only_; }
    const String& Extension() const { return extension_; }
    // The dot is always there, also for a name without extension ("README.").
    String NamePlusExtension() const { return name_only_ + Char('.') + extension_; }

  private:
    Char separator_;
    String full_path_;
    String directory_;
    String name_only_;
    String extension_;
};

// The program's paths are wide text.
using CPathDivide = BasicPathDivide<wchar_t>;

}  // namespace dsf2vemo
