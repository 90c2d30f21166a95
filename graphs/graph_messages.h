#pragma once

#include <string>

namespace graphs {

// The texts the graphs show the user, in one place.
namespace message {
inline constexpr char kMissingColumn[] =
    "Graph cannot be updated!\nMissing information for %s variable!";
inline constexpr char kNothingToDraw[] = "There is nothing to be drawn";
inline constexpr char kFromToOrder[] = "Value \"From\" must be less than \"To\" value!!";
inline constexpr char kTooManySteps[] =
    "Too many steps: one sweep takes at most %s rows, (No of Steps + 1) times "
    "(parameter No of Steps + 1)";
inline constexpr char kCannotSave[] = "The graph cannot be saved to %s";
inline constexpr char kPictureTitlePrefix[] = "Picture:";
inline constexpr char kGraphSetCaption[] = "Graph: ";
inline constexpr char kEmfFilter[] = "Enahnced Metafile (*.EMF)";
}  // namespace message

// The texts of the valdrix-graph program, each written after "valdrix-graph: ".
namespace tool_message {
inline constexpr char kSizeSyntax[] = "--size takes WxH, e.g. 960x560";
inline constexpr char kSizeTooLarge[] = "--size takes at most %s pixels a side";
inline constexpr char kNothingToDraw[] =
    "nothing to draw (no rows with numbers, or all x or all y values equal); %s not written";
}  // namespace tool_message

// Replaces the one %s of `pattern` with `value`.
std::string FillIn(const char* pattern, const std::string& value);

}  // namespace graphs
