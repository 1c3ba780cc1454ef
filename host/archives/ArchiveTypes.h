// Names that tie archive entries to the factories that open them. An entry whose type is
// "archive/" followed by a factory's object name is opened by that factory.
#pragma once

namespace qxhost {

// Object names under which archive factories publish "IArchiveFactory".
inline constexpr char kFolderFactory[] = "folder";
inline constexpr char kValuesFactory[] = "values";
inline constexpr char kPngFactory[] = "pngfile";
inline constexpr char kWavFactory[] = "wavfile";

// Entry type names as the folder archive gives them.
inline constexpr char kFolderType[] = "archive/folder";
inline constexpr char kValuesType[] = "archive/values";
inline constexpr char kPngType[] = "archive/pngfile";
inline constexpr char kWavType[] = "archive/wavfile";
inline constexpr char kFileType[] = "file";
inline constexpr char kTextType[] = "text";

// The file of a folder that holds its text values.
inline constexpr char kValuesFileName[] = "values.txt";

// Host setting: "1" makes every reader asynchronous only (IASyncRead instead of IRead).
inline constexpr char kAsyncReadersSetting[] = "AsyncReaders";

} // namespace qxhost
