#pragma once
// The ordered list of text lines in which the scheduler holds its records and through
// which it reads and writes its text files. Lines are byte strings in the system's
// single-byte code page; indexes count from 0. Every list is unsorted, keeps duplicates
// and compares names ignoring letter case.

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "platform/Files.h"

// Line operations are the primitives; name=value, comma text and files build on them.
class TStrings {
 public:
  virtual ~TStrings() = default;

  virtual int LineCount() const = 0;
  // Copy of line `index`; EStringListError "List index out of bounds (%d)" outside 0..count-1.
  virtual std::string Line(int index) const = 0;
  virtual void ReplaceLine(int index, std::string text) = 0;
  virtual void RemoveLine(int index) = 0;
  // Adds the line at the end and returns its index (the count before the call).
  virtual int Append(std::string line) = 0;
  virtual void RemoveAll() = 0;

  // Index of the first line whose text before its first '=' equals `name`, letter case
  // ignored by the user's locale; -1 when none does. Lines without '=' have no name.
  int FindName(std::string_view name) const;
  // Value after "name=" of the first matching line; empty when there is none.
  std::string ValueOf(std::string_view name) const;
  // The value of line `index` as ValueOf gives it when that line matches `name`: what
  // follows as many characters as `name` has, and the '='.
  std::string ValueAt(int index, std::string_view name) const;
  // Replaces the first matching line by name=value (appending when absent); an empty
  // value removes the first matching line instead.
  void SetValueOf(std::string_view name, std::string_view value);
  // All lines joined by ','; a line holding a control character, space, '"' or ',' is
  // written between double quotes with its quotes doubled.
  std::string CommaJoined() const;

  // Replaces the lines by those of the file (CR LF, lone CR or lone LF end a line; a NUL
  // ends the text). EFOpenError "Cannot open file %s" and the list unchanged when the file
  // cannot be opened, also while another process has it open for writing (unless `sharing`
  // lets everyone in, see platform::ReadSharing); EReadError "Stream read error" and the
  // list unchanged when a read fails after the open.
  void LoadLines(const std::string& path,
                 platform::ReadSharing sharing = platform::ReadSharing::ReadersOnly);
  // Line `index` of the file as LoadLines then Line would give it, with the same errors
  // ("Cannot open file %s", "Stream read error", "List index out of bounds (%d)"), but read in
  // a buffer of fixed size and no further than the end of that line: neither the other lines
  // nor the rest of the file are kept or read, whatever their length.
  static std::string LoadLine(const std::string& path, int index);
  // The same from a file opened already (IsOpen).
  static std::string LoadLine(platform::InputFile& file, int index);
  // Writes every line followed by CR LF. The file is replaced in one step, so after a
  // failure ("Cannot create file %s", "Stream write error") the previous file is whole.
  void SaveLines(const std::string& path) const;
  // The same, telling how the save went rather than raising: for a caller that has another
  // place to save in when the folder refuses (Refused). RaiseSaveError raises what
  // SaveLines raises for an outcome other than Saved.
  platform::SaveOutcome TrySaveLines(const std::string& path) const;
  static void RaiseSaveError(platform::SaveOutcome outcome, const std::string& path);

 protected:
  [[noreturn]] static void IndexError(int index);
  virtual const std::string& LineRef(int index) const = 0;
};

class TStringList : public TStrings {
 public:
  int LineCount() const override { return static_cast<int>(lines_.size()); }
  std::string Line(int index) const override { return LineRef(index); }
  void ReplaceLine(int index, std::string text) override;
  void RemoveLine(int index) override;
  int Append(std::string line) override;
  void RemoveAll() override;

  // All lines at once, read-only: for reading a whole list without copying its lines.
  // Iterators into it last until the next change of the list.
  const std::vector<std::string>& Lines() const { return lines_; }
  // Room for `count` lines without moving them again: for a caller that knows how many come.
  void Reserve(int count) { lines_.reserve(static_cast<std::size_t>(count)); }
  // Replaces the lines by those of `other`, moved rather than copied; `other` is left empty.
  void TakeLines(TStringList& other);

  // Changes with every change of the lines, and no two states of any lists share a number:
  // a reader that remembers it knows whether what it read is still current.
  std::uint64_t Generation() const { return generation_; }

 protected:
  const std::string& LineRef(int index) const override;

 private:
  static std::uint64_t NewGeneration();
  void Changed() { generation_ = NewGeneration(); }

  std::vector<std::string> lines_;
  std::uint64_t generation_ = NewGeneration();
};
