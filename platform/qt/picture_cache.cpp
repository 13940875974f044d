#include "platform/qt/picture_cache.h"

#include <sys/stat.h>
#include <time.h>

#include <QByteArray>
#include <QFile>
#include <algorithm>
#include <utility>

namespace platform::qt {

namespace {

using Stamp = PictureCache::Stamp;

// Room for the whole picture set in every language (about 14 MB of pixels
// each).
constexpr std::size_t kSharedBudget = std::size_t{64} << 20;

// File systems stamp modification times from a coarse clock, so a file
// written again within the same tick can keep its size and time. A picture
// whose file was modified less than this long before it was read (or while
// it was read) is not kept: it is read again on its next use.
constexpr std::int64_t kSettleNs = 2'000'000'000;

std::int64_t Nanoseconds(timespec t) {
  return static_cast<std::int64_t>(t.tv_sec) * 1'000'000'000 + t.tv_nsec;
}

Stamp StampOf(const struct stat& st) {
  return {static_cast<std::uint64_t>(st.st_dev), static_cast<std::uint64_t>(st.st_ino),
          static_cast<std::int64_t>(st.st_size), st.st_mtim, st.st_ctim};
}

struct Read {
  QImage image;  // null when the file could not be read or decoded
  Stamp stamp;   // of the file as it was opened
  bool settled = false;
};

// The stamp comes from the opened file, so it belongs to the bytes read even
// when the file is replaced meanwhile.
Read ReadPicture(const std::filesystem::path& file) {
  Read read;
  timespec start{};
  clock_gettime(CLOCK_REALTIME, &start);
  QFile input(QFile::decodeName(file.c_str()));
  struct stat st {};
  if (!input.open(QIODevice::ReadOnly) || ::fstat(input.handle(), &st) != 0) return read;
  const QByteArray bytes = input.readAll();
  if (input.error() != QFileDevice::NoError) return read;
  // Kept in the format it decodes to: premultiplying it here would change
  // how turned pictures are filtered.
  read.image = QImage::fromData(bytes);
  read.stamp = StampOf(st);
  read.settled = Nanoseconds(st.st_mtim) + kSettleNs < Nanoseconds(start);
  return read;
}

std::size_t SizeOf(const QImage& image) {
  return static_cast<std::size_t>(image.sizeInBytes());
}

}  // namespace

bool PictureCache::Stamp::operator==(const Stamp& other) const {
  auto same = [](timespec a, timespec b) { return a.tv_sec == b.tv_sec && a.tv_nsec == b.tv_nsec; };
  return device == other.device && inode == other.inode && size == other.size &&
         same(modified, other.modified) && same(changed, other.changed);
}

PictureCache::PictureCache(std::size_t byteBudget) : m_budget(byteBudget) {}

PictureCache& PictureCache::Shared() {
  static PictureCache shared(kSharedBudget);
  return shared;
}

QImage PictureCache::picture(const std::filesystem::path& file) {
  const std::string& key = file.native();
  struct stat st {};
  const bool exists = ::stat(key.c_str(), &st) == 0;
  {
    std::lock_guard lock(m_mutex);
    if (auto found = m_entries.find(key); found != m_entries.end()) {
      if (exists && found->second.stamp == StampOf(st)) {
        found->second.lastUse = ++m_useClock;
        return found->second.image;
      }
      erase(found);
    }
  }
  if (!exists) return {};
  // Decoded without the lock, so that other pictures are drawn meanwhile.
  Read read = ReadPicture(file);
  ++m_reads;
  if (read.settled && !read.image.isNull()) store(key, {read.image, read.stamp});
  return read.image;
}

void PictureCache::store(const std::string& key, Entry entry) {
  const std::size_t size = SizeOf(entry.image);
  if (size > m_budget) return;
  std::lock_guard lock(m_mutex);
  // Another thread may have read the same file meanwhile; either read is
  // checked against the file on the next lookup.
  if (auto found = m_entries.find(key); found != m_entries.end()) erase(found);
  evictTo(m_budget - size);
  entry.lastUse = ++m_useClock;
  m_bytes += size;
  m_entries.emplace(key, std::move(entry));
}

void PictureCache::erase(std::unordered_map<std::string, Entry>::iterator entry) {
  m_bytes -= SizeOf(entry->second.image);
  m_entries.erase(entry);
}

void PictureCache::evictTo(std::size_t budget) {
  while (m_bytes > budget) {
    auto oldest = std::min_element(m_entries.begin(), m_entries.end(), [](const auto& a, const auto& b) {
      return a.second.lastUse < b.second.lastUse;
    });
    erase(oldest);
  }
}

std::size_t PictureCache::bytes() const {
  std::lock_guard lock(m_mutex);
  return m_bytes;
}

std::size_t PictureCache::entries() const {
  std::lock_guard lock(m_mutex);
  return m_entries.size();
}

}  // namespace platform::qt
