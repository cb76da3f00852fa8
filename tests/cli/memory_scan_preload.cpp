// Loaded into velsor-cli with LD_PRELOAD by the memory scan test. When the
// process exits (after main and the static destructors), it reads every
// readable mapping of its own memory, freed heap and dead stack included, and
// looks for the byte strings that VELSOR_SCAN names. The strings arrive masked
// (each byte XOR 0xA5) and are compared byte by byte without being unmasked in
// memory, so the scanner holds no copy of what it looks for.
//   VELSOR_SCAN=name:MASKEDHEX,name:MASKEDHEX,...
// A name that starts with "control" is a string that must be found (it shows
// the scan works); any other found string ends the process with status 99.

#include <fcntl.h>
#include <sys/mman.h>
#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace {

constexpr unsigned char kMask = 0xA5;
constexpr std::size_t kMaxPattern = 256;
constexpr std::size_t kChunk = 1 << 20;

struct Pattern {
  char name[32];
  unsigned char masked[kMaxPattern];
  std::size_t size;
  bool found;
};

Pattern gPatterns[16];
std::size_t gCount = 0;
char gMaps[1 << 20];

int HexValue(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return -1;
}

void Parse(const char* patterns) {
  while (*patterns != '\0' && gCount < 16) {
    Pattern& p = gPatterns[gCount];
    std::size_t n = 0;
    while (*patterns != ':' && *patterns != '\0' && n + 1 < sizeof p.name) p.name[n++] = *patterns++;
    p.name[n] = '\0';
    if (*patterns == ':') ++patterns;
    p.size = 0;
    while (HexValue(patterns[0]) >= 0 && HexValue(patterns[1]) >= 0 && p.size < kMaxPattern) {
      p.masked[p.size++] = static_cast<unsigned char>(HexValue(patterns[0]) * 16 + HexValue(patterns[1]));
      patterns += 2;
    }
    while (*patterns != ',' && *patterns != '\0') ++patterns;
    if (*patterns == ',') ++patterns;
    if (p.size > 0) ++gCount;
  }
}

void ScanBytes(const unsigned char* data, std::size_t size) {
  for (std::size_t k = 0; k < gCount; ++k) {
    Pattern& p = gPatterns[k];
    if (p.found || size < p.size) continue;
    const unsigned char first = p.masked[0] ^ kMask;
    for (std::size_t i = 0; i + p.size <= size; ++i) {
      if (data[i] != first) continue;
      std::size_t j = 1;
      while (j < p.size && data[i + j] == (p.masked[j] ^ kMask)) ++j;
      if (j == p.size) {
        p.found = true;
        break;
      }
    }
  }
}

__attribute__((destructor)) void ScanAtExit() {
  const char* patterns = std::getenv("VELSOR_SCAN");
  if (patterns == nullptr) return;
  Parse(patterns);
  const int maps = ::open("/proc/self/maps", O_RDONLY);
  const int mem = ::open("/proc/self/mem", O_RDONLY);
  if (maps < 0 || mem < 0) {
    std::fprintf(stderr, "memory scan: cannot open /proc/self\n");
    ::_exit(98);
  }
  std::size_t have = 0;
  ssize_t n = 0;
  while (have + 1 < sizeof gMaps && (n = ::read(maps, gMaps + have, sizeof gMaps - 1 - have)) > 0) have += n;
  gMaps[have] = '\0';
  void* mapped = ::mmap(nullptr, kChunk + kMaxPattern, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
  auto* buffer = static_cast<unsigned char*>(mapped);
  const auto own = reinterpret_cast<uintptr_t>(buffer);
  std::size_t scanned = 0;
  for (char* line = gMaps; *line != '\0';) {
    char* end = std::strchr(line, '\n');
    if (end != nullptr) *end = '\0';
    unsigned long start = 0;
    unsigned long stop = 0;
    char perms[5] = {};
    if (std::sscanf(line, "%lx-%lx %4s", &start, &stop, perms) == 3 && perms[0] == 'r' &&
        std::strstr(line, "[vvar]") == nullptr && std::strstr(line, "[vsyscall]") == nullptr && start != own) {
      // Chunks overlap by the longest pattern, so nothing is missed at a seam.
      for (unsigned long at = start; at < stop; at += kChunk) {
        const std::size_t want = (stop - at < kChunk + kMaxPattern) ? stop - at : kChunk + kMaxPattern;
        const ssize_t got = ::pread(mem, buffer, want, static_cast<off_t>(at));
        if (got <= 0) break;
        ScanBytes(buffer, static_cast<std::size_t>(got));
        scanned += static_cast<std::size_t>(got);
      }
    }
    if (end == nullptr) break;
    line = end + 1;
  }
  bool leaked = false;
  for (std::size_t k = 0; k < gCount; ++k) {
    if (gPatterns[k].found) std::fprintf(stderr, "memory scan: found %s\n", gPatterns[k].name);
    leaked = leaked || (gPatterns[k].found && std::strncmp(gPatterns[k].name, "control", 7) != 0);
  }
  std::fprintf(stderr, "memory scan: %zu bytes scanned\n", scanned);
  if (leaked) ::_exit(99);
}

}  // namespace
