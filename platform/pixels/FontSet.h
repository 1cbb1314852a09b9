#pragma once
// The declared font set: for each family the program's forms ask for, the font files its
// text is drawn from on every machine, whatever else is installed there. They come from
// Debian packages the program depends on; other families are left to fontconfig.

#include <array>
#include <span>
#include <string>
#include <string_view>

namespace oz {

struct FontSpec;

struct DeclaredFile {
    std::string_view folder;  // where its package installs it, ending in '/'
    std::string_view name;    // the file's name
    std::string_view package; // the Debian package that brings it
    int index = 0;            // the face within the file
    bool bold = false;        // the face is bold or heavier: nothing to embolden
};

struct DeclaredFamily {
    std::string_view family;           // as the forms ask for it
    std::array<DeclaredFile, 4> files; // regular, bold, italic, bold italic
    // What fontconfig is asked for instead when the file is missing:
    std::string_view lookup; // the family asked first; sans-serif follows
    bool heaviest = false;   // the heaviest weight, whatever the bold flag says
    bool condensed = false;  // a condensed width
};

std::span<const DeclaredFamily> DeclaredFamilies();

// Family names compare as fontconfig compares them: ignoring case and blanks.
bool SameFamily(std::string_view a, std::string_view b);

const DeclaredFamily* FindDeclaredFamily(std::span<const DeclaredFamily> set,
                                         std::string_view family);
const DeclaredFile& DeclaredFileFor(const DeclaredFamily& family, const FontSpec& request);

// Where the file's package installs it.
std::string PathOf(const DeclaredFile& file);

// The declared file on this machine: where its package puts it, else a file of the same
// name in a folder fontconfig scans (an install outside Debian's layout); empty when the
// machine has neither.
std::string LocateDeclaredFile(const DeclaredFile& file);

} // namespace oz
