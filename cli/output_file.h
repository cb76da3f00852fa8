#pragma once
// --output FILE: the result goes to a temporary file beside FILE, which takes
// FILE's name only once the whole result is written. A run that fails (a hex
// text found invalid after output started, a full disk) leaves FILE as it was
// and no partial result under its name. A device or a pipe (/dev/null, a FIFO)
// is written directly, since a rename would replace it with a plain file.

#include <fstream>
#include <string>

namespace velsor::cli {

class OutputFile {
 public:
  // Creates the temporary file, readable and writable by its owner only (it
  // may receive a decrypted message). Raises a Failure with the reason.
  explicit OutputFile(std::string path);
  // Removes the temporary file unless Commit has renamed it.
  ~OutputFile();
  OutputFile(const OutputFile&) = delete;
  OutputFile& operator=(const OutputFile&) = delete;

  std::ostream& Stream() { return fStream; }
  // Closes the temporary file and gives it FILE's name, replacing what was there.
  void Commit();

 private:
  std::string fPath;
  std::string fTemporary;  // empty when writing directly
  std::ofstream fStream;
  bool fCommitted = false;
};

}  // namespace velsor::cli
