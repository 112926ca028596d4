// The real Windows private-profile functions, for the differential tests of our own store. Reads
// one command a line from the file named on the command line and prints one answer a line. Every
// string is hex-encoded, "." standing for the empty one.
//   R <section> <key> <default> <capacity> <path>  ->  <result> <buffer up to its first NUL>
//   W <section> <key> <value> <path>               ->  <result>
//   S <path>                                       ->  <section>,<section>,...
//   K <section> <path>                             ->  <key>,<key>,...
#include <windows.h>

#include <cstdio>
#include <cstring>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

static std::string Unhex(const std::string& hex) {
  std::string bytes;
  if (hex == ".") return bytes;
  for (size_t i = 0; i + 1 < hex.size(); i += 2)
    bytes += static_cast<char>(std::stoi(hex.substr(i, 2), nullptr, 16));
  return bytes;
}

static std::string Hex(const std::string& bytes) {
  if (bytes.empty()) return ".";
  std::string hex;
  char two[3];
  for (unsigned char c : bytes) {
    std::snprintf(two, sizeof two, "%02x", c);
    hex += two;
  }
  return hex;
}

static std::string List(const char* buffer) {
  std::string out;
  for (const char* p = buffer; *p; p += std::strlen(p) + 1) out += (out.empty() ? "" : ",") + Hex(p);
  return out.empty() ? "." : out;
}

int main(int argc, char** argv) {
  if (argc != 2) return 2;
  std::ifstream commands(argv[1]);
  std::string line;
  std::vector<char> big(1 << 16);
  while (std::getline(commands, line)) {
    std::istringstream in(line);
    std::string op;
    in >> op;
    if (op == "R") {
      std::string section, key, def, capacity, path;
      in >> section >> key >> def >> capacity >> path;
      std::string buffer(std::stoul(capacity), '\0');
      const DWORD result =
          GetPrivateProfileStringA(Unhex(section).c_str(), Unhex(key).c_str(), Unhex(def).c_str(),
                                   buffer.data(), static_cast<DWORD>(buffer.size()), Unhex(path).c_str());
      std::printf("%lu %s\n", static_cast<unsigned long>(result), Hex(buffer.c_str()).c_str());
    } else if (op == "W") {
      std::string section, key, value, path;
      in >> section >> key >> value >> path;
      std::printf("%d\n", WritePrivateProfileStringA(Unhex(section).c_str(), Unhex(key).c_str(),
                                                     Unhex(value).c_str(), Unhex(path).c_str()));
    } else if (op == "S") {
      std::string path;
      in >> path;
      std::fill(big.begin(), big.end(), '\0');
      GetPrivateProfileSectionNamesA(big.data(), static_cast<DWORD>(big.size()), Unhex(path).c_str());
      std::printf("%s\n", List(big.data()).c_str());
    } else if (op == "K") {
      std::string section, path;
      in >> section >> path;
      std::fill(big.begin(), big.end(), '\0');
      GetPrivateProfileStringA(Unhex(section).c_str(), nullptr, "", big.data(),
                               static_cast<DWORD>(big.size()), Unhex(path).c_str());
      std::printf("%s\n", List(big.data()).c_str());
    } else {
      std::printf("?\n");
    }
  }
  return 0;
}
