#pragma once

// The names in the exchange files that the program and its tools pass each other. The program
// writes a parameter file ("<tool>.prm") with one section of parameters before it starts a
// tool; the tool that answers writes a results file ("<tool>.rslt"). Both sides spell the names
// from here, so that neither can drift from the other.
namespace ToolProtocol {

inline constexpr char ParametersSection[] = "Parameters";
inline constexpr char ResultsSection[] = "Results";

// Parameters: what to do, and on which file or drive.
inline constexpr char OperationKey[] = "Operation";
inline constexpr char FileToWorkKey[] = "FileToWork";
inline constexpr char DriveKey[] = "Drive";

// The operations: the tag tool's two, the converter's, the CD information tool's.
inline constexpr char ReadTagsOperation[] = "READWMATAGS";
inline constexpr char UpdateTagsOperation[] = "UPDATEWMATAGS";
inline constexpr char ConvertOperation[] = "CONVERTWAVTOWMA";
inline constexpr char CdInfoOperation[] = "GETCDINFO";

// A track's description, in the parameters of a tag write or conversion and in the results of
// a tag read; a disc's album and artist in each "Description<n>" section of the CD information.
inline constexpr char NameKey[] = "Name";
inline constexpr char AlbumKey[] = "Album";
inline constexpr char ComposerKey[] = "Composer";
inline constexpr char ArtistKey[] = "Artist";

// The CD information's results: how many "Description<n>" sections follow, each with the title
// of track n under "TTITLE<n - 1>".
inline constexpr char CountKey[] = "Count";
inline constexpr char DescriptionSectionPrefix[] = "Description";
inline constexpr char TrackTitleKeyPrefix[] = "TTITLE";

} // namespace ToolProtocol
