#pragma once
// What the list filter saves between runs: each list name with the face it draws in,
// valid only while fontconfig's state (FontconfigState) is the one it was made under,
// so that a later query only tests those faces' character and language sets. The file
// lives in a private folder of the user's cache folder; reading it treats its bytes as
// hostile. Standard C++, POSIX and fontconfig only.
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

struct _FcPattern;

namespace typeloom::platform {

struct SavedCoverage {
  static constexpr std::uint32_t kNoFace = UINT32_MAX;
  struct Face {
    std::uint32_t position = 0;    // in fontconfig's system set, then its application set
    std::uint64_t fingerprint = 0;  // FaceFingerprint of the face there
  };
  struct Name {
    std::string name;
    std::uint32_t face = kNoFace;  // in `faces`; kNoFace: draws in no face
    // 0: draws in `face`. Else (2 or more) the name is a family whose faces have other
    // sets: it draws in fontconfig's match of `request` among `faces`[face, face +
    // pickAmong), worked out by a query that needs it.
    std::uint32_t pickAmong = 0;
    std::string request;
  };
  std::string state;  // FontconfigState and the caller's own inputs
  std::vector<Face> faces;
  std::vector<Name> names;
};

// The file's bytes; ReadSavedCoverage reads back exactly what this wrote.
std::string WriteSavedCoverage(const SavedCoverage& saved);
// Nothing unless `bytes` are a whole file as WriteSavedCoverage writes them (checksum,
// every length and face reference within bounds, names neither empty nor repeated, a
// family to pick in with a request and two faces or more).
std::optional<SavedCoverage> ReadSavedCoverage(std::string_view bytes);

// The 64-bit hash of the file's checksum and of FaceFingerprint.
std::uint64_t HashBytes(std::string_view bytes, std::uint64_t seed = 0);

// Which face a pattern is: its file and face number, hashed.
std::uint64_t FaceFingerprint(_FcPattern* face);

// Whatever fontconfig's answers depend on, as bytes to compare: every configuration
// file it read and the folders they are in, every font and cache folder (identity,
// size and modification time), the user's configuration places even when missing, the
// number of faces in each set, the environment it reads (FC_*, FONTCONFIG_*, XDG_*,
// HOME, LANG, LANGUAGE, LC_*), the running program's file and the file this code is
// linked into. `environment` lists "NAME=value" entries (the process's: environ).
// Initialises fontconfig; nothing when it cannot be.
std::optional<std::string> FontconfigState(char** environment);

// A file name for what is saved under one configuration: `prefix` and a hash of the
// environment entries that choose fontconfig's configuration and language (FC_*,
// FONTCONFIG_*, LANG, LANGUAGE, LC_*) and of `inputs`, so that runs under different
// ones keep a file each.
std::string SavedFileName(std::string_view prefix, char** environment, std::string_view inputs);

// The user's private cache folder for this program: `$XDG_CACHE_HOME/typeloom` (an
// absolute XDG_CACHE_HOME), else `$HOME/.cache/typeloom`; empty when neither is set.
std::string PrivateCacheFolder(const std::function<const char*(const char*)>& environment);

// The contents of `folder`/`name` when the folder is a real folder of this user with
// mode 0700 and the file a regular file of this user that no one else may read or
// write, of at most `limit` bytes; nothing otherwise.
std::optional<std::string> ReadPrivateFile(const std::string& folder, const std::string& name, std::size_t limit);

// Makes `folder` (and its parent when missing) with mode 0700; whether it is a folder
// of this user's with mode 0700 (not a link).
bool MakePrivateFolder(const std::string& folder);

// Replaces `folder`/`name` with `bytes` (mode 0600): written beside it, then renamed
// over it (not flushed to the disk: for files that are checked when read), in a folder MakePrivateFolder makes or accepts. False
// when anything failed; the old file is then as it was.
bool WritePrivateFile(const std::string& folder, const std::string& name, std::string_view bytes);

}  // namespace typeloom::platform
