// Pictures with every screenshot of a run, half size, each above its name. A sheet holds at
// most kSheetShots shots; a run with more gets more sheets, so that neither a sheet's size nor
// what is held to make it grows with the run.
#pragma once

#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

#include "media/Surface.h"
#include "media/Typeface.h"

namespace qxhost::app {

// A 640 x 480 screen of "-rrrrrgggggbbbbb" words as 8-bit R, G, B rows.
std::vector<std::uint8_t> screenRgb(const std::vector<std::uint16_t>& pixels);

inline constexpr int kSheetColumns = 3;
inline constexpr int kSheetRows = 20;
inline constexpr int kSheetShots = kSheetColumns * kSheetRows;
inline constexpr int kThumbWidth = Surface::kWidth / 2;
inline constexpr int kThumbHeight = Surface::kHeight / 2;
inline constexpr int kLabelHeight = 24;
inline constexpr int kSheetMargin = 8;

// The file name of sheet n (from 1): contact-sheet.png, contact-sheet-2.png, ...
std::string sheetFileName(int n);
// Whether a file's name without its extension is one of a sheet's: shots may not use them.
bool isSheetName(const std::string& stem);

class ContactSheets {
public:
    // Sheets go into folder; names are drawn with the typeface (none when it is unusable).
    ContactSheets(std::filesystem::path folder, Typeface& typeface);

    // A shot as 640 x 480 R, G, B rows; only its half-size copy is kept. A full sheet is
    // written at once.
    void add(const std::string& name, const std::vector<std::uint8_t>& rgb);
    // Writes the sheet still being filled.
    void finish();

    // The sheets written, by file name, and one "cannot write PATH: why" for each that failed.
    const std::vector<std::string>& written() const { return written_; }
    const std::vector<std::string>& failures() const { return failures_; }

private:
    struct Thumb {
        std::string name;
        std::vector<std::uint8_t> rgb; // kThumbWidth x kThumbHeight
    };
    void write();

    std::filesystem::path folder_;
    Typeface& typeface_;
    std::vector<Thumb> thumbs_;
    int sheets_ = 0;
    std::vector<std::string> written_;
    std::vector<std::string> failures_;
};

} // namespace qxhost::app
