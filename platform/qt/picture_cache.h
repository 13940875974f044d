// Decoded pictures kept by path, so that redrawing a page composites instead
// of decoding its PNG files again. Every lookup stats the file: a picture
// whose file changed is read again, and one whose file has gone or cannot be
// decoded gives a null image, so what is drawn is what reading the file
// would give.
#pragma once

#include <QImage>
#include <atomic>
#include <cstddef>
#include <cstdint>
#include <ctime>
#include <filesystem>
#include <mutex>
#include <string>
#include <unordered_map>

namespace platform::qt {

class PictureCache {
 public:
  // Keeps at most this many bytes of decoded pixels, dropping the least
  // recently drawn pictures first; with 0 it keeps nothing.
  explicit PictureCache(std::size_t byteBudget);
  PictureCache(const PictureCache&) = delete;
  PictureCache& operator=(const PictureCache&) = delete;

  // The picture the file holds now; a null image when it cannot be read.
  // Any thread.
  QImage picture(const std::filesystem::path& file);

  // The cache the canvases draw from unless given another.
  static PictureCache& Shared();

  std::size_t bytes() const;
  std::size_t entries() const;
  // How many times a file was read and decoded.
  std::uint64_t reads() const { return m_reads.load(); }

  // What stat() tells of a file that says whether it changed.
  struct Stamp {
    std::uint64_t device = 0, inode = 0;
    std::int64_t size = 0;
    timespec modified{}, changed{};
    bool operator==(const Stamp& other) const;
  };

 private:
  struct Entry {
    QImage image;
    Stamp stamp;
    std::uint64_t lastUse = 0;
  };

  void store(const std::string& key, Entry entry);
  // Under the lock.
  void erase(std::unordered_map<std::string, Entry>::iterator entry);
  void evictTo(std::size_t budget);

  const std::size_t m_budget;
  std::atomic<std::uint64_t> m_reads{0};
  mutable std::mutex m_mutex;
  std::unordered_map<std::string, Entry> m_entries;
  std::size_t m_bytes = 0;
  std::uint64_t m_useClock = 0;
};

}  // namespace platform::qt
