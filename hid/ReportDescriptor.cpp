#include "hid/ReportDescriptor.h"

#include <algorithm>
#include <map>
#include <set>

namespace hid {
namespace {

// Item prefix: bits 0-1 size code (3 means 4 bytes), bits 2-3 type, bits 4-7 tag.
enum ItemType : uint8_t { kMain = 0, kGlobal = 1, kLocal = 2, kReserved = 3 };
constexpr uint8_t kLongItemPrefix = 0xFE;

namespace main_tag {
constexpr uint8_t kInput = 0x8, kOutput = 0x9, kCollection = 0xA, kFeature = 0xB, kEndCollection = 0xC;
}
namespace global_tag {
constexpr uint8_t kUsagePage = 0, kLogicalMin = 1, kLogicalMax = 2, kPhysicalMin = 3,
                  kPhysicalMax = 4, kReportSize = 7, kReportId = 8, kReportCount = 9, kPush = 10,
                  kPop = 11;
}
namespace local_tag {
constexpr uint8_t kUsage = 0, kUsageMin = 1, kUsageMax = 2;
}

// Main item data bits.
constexpr uint32_t kConstantBit = 0x01;
constexpr uint32_t kVariableBit = 0x02;

struct GlobalState {
  uint16_t usagePage = 0;
  int32_t logicalMin = 0;
  int32_t logicalMax = 0;
  bool logicalMinSeen = false;
  uint32_t logicalMaxRaw = 0;
  int logicalMaxSize = 0;
  int32_t physicalMin = 0;
  int32_t physicalMax = 0;
  uint32_t reportSize = 0;
  uint32_t reportCount = 0;
  uint8_t reportId = 0;
};

// One usage declaration of the local state: a single usage or a range, with
// its own page (an extended 32-bit usage carries its page).
struct UsageDecl {
  uint16_t page = 0;
  uint16_t min = 0;
  uint16_t max = 0;
  bool isRange = false;
  uint32_t Count() const { return uint32_t(max) - min + 1; }
};

struct LocalState {
  std::vector<UsageDecl> usages;
  bool haveMin = false;
  bool haveMax = false;
  uint32_t min = 0;  // extended form kept until the pair is complete
  uint32_t max = 0;
  int minSize = 0;
  int maxSize = 0;
};

uint32_t ReadUnsigned(std::span<const uint8_t> data) {
  uint32_t v = 0;
  for (size_t i = 0; i < data.size(); ++i) v |= uint32_t(data[i]) << (8 * i);
  return v;
}

int32_t SignExtend(uint32_t v, size_t bytes) {
  if (bytes == 0) return 0;
  if (bytes >= 4) return static_cast<int32_t>(v);
  const uint32_t sign = 1u << (8 * bytes - 1);
  return static_cast<int32_t>((v ^ sign) - sign);
}

class Parser {
 public:
  explicit Parser(std::span<const uint8_t> bytes) : bytes_(bytes) {}

  bool Run(ParsedDescriptor* out, std::string* error) {
    const bool ok = Parse();
    if (!ok) {
      if (error) *error = error_;
      return false;
    }
    Finish(out);
    return true;
  }

 private:
  bool Fail(std::string why) {
    error_ = std::move(why) + " at byte " + std::to_string(pos_);
    return false;
  }

  bool Parse() {
    if (bytes_.size() > kMaxDescriptorBytes) return Fail("descriptor too long");
    if (bytes_.empty()) return Fail("empty descriptor");
    while (pos_ < bytes_.size()) {
      const uint8_t prefix = bytes_[pos_];
      if (prefix == kLongItemPrefix) {
        // Long items carry no meaning for reports; skip them whole.
        if (pos_ + 3 > bytes_.size()) return Fail("truncated long item");
        const size_t size = bytes_[pos_ + 1];
        if (pos_ + 3 + size > bytes_.size()) return Fail("truncated long item");
        pos_ += 3 + size;
        continue;
      }
      const size_t sizeCode = prefix & 0x3;
      const size_t size = sizeCode == 3 ? 4 : sizeCode;
      const uint8_t type = (prefix >> 2) & 0x3;
      const uint8_t tag = prefix >> 4;
      if (pos_ + 1 + size > bytes_.size()) return Fail("truncated item");
      const std::span<const uint8_t> data = bytes_.subspan(pos_ + 1, size);
      bool ok = true;
      switch (type) {
        case kMain: ok = MainItem(tag, ReadUnsigned(data)); break;
        case kGlobal: ok = GlobalItem(tag, data); break;
        case kLocal: ok = LocalItem(tag, data); break;
        default: ok = Fail("reserved item type");
      }
      if (!ok) return false;
      pos_ += 1 + size;
    }
    if (depth_ != 0) return Fail("collection not closed");
    if (collections_.empty()) return Fail("no top-level collection");
    return true;
  }

  bool GlobalItem(uint8_t tag, std::span<const uint8_t> data) {
    const uint32_t u = ReadUnsigned(data);
    switch (tag) {
      case global_tag::kUsagePage: global_.usagePage = static_cast<uint16_t>(u); break;
      case global_tag::kLogicalMin:
        global_.logicalMin = SignExtend(u, data.size());
        global_.logicalMinSeen = true;
        break;
      case global_tag::kLogicalMax:
        global_.logicalMaxRaw = u;
        global_.logicalMaxSize = static_cast<int>(data.size());
        break;
      case global_tag::kPhysicalMin: global_.physicalMin = SignExtend(u, data.size()); break;
      case global_tag::kPhysicalMax: global_.physicalMax = SignExtend(u, data.size()); break;
      case global_tag::kReportSize:
        if (u > 0xFFFF) return Fail("report size too large");
        global_.reportSize = u;
        break;
      case global_tag::kReportCount:
        if (u > 0xFFFF) return Fail("report count too large");
        global_.reportCount = u;
        break;
      case global_tag::kReportId:
        if (u == 0 || u > 0xFF) return Fail("invalid report id");
        global_.reportId = static_cast<uint8_t>(u);
        usesReportIds_ = true;
        break;
      case global_tag::kPush:
        if (stack_.size() >= static_cast<size_t>(kMaxPushDepth)) return Fail("push too deep");
        stack_.push_back(global_);
        break;
      case global_tag::kPop:
        if (stack_.empty()) return Fail("pop without push");
        global_ = stack_.back();
        stack_.pop_back();
        break;
      default: break;  // unit, unit exponent, reserved: no effect on layout
    }
    return true;
  }

  bool LocalItem(uint8_t tag, std::span<const uint8_t> data) {
    const uint32_t u = ReadUnsigned(data);
    switch (tag) {
      case local_tag::kUsage:
        if (local_.usages.size() >= kMaxLocalUsages) return Fail("too many usages");
        local_.usages.push_back(Decl(u, data.size(), u, data.size(), false));
        break;
      case local_tag::kUsageMin:
        local_.haveMin = true;
        local_.min = u;
        local_.minSize = static_cast<int>(data.size());
        return CompleteRange();
      case local_tag::kUsageMax:
        local_.haveMax = true;
        local_.max = u;
        local_.maxSize = static_cast<int>(data.size());
        return CompleteRange();
      default: break;  // designators, strings, delimiters
    }
    return true;
  }

  // A 4-byte usage carries its page in the high half; a shorter one uses the
  // current usage page (applied at the main item, so a page set after the
  // usage still counts, as the HID rules say).
  UsageDecl Decl(uint32_t min, size_t minSize, uint32_t max, size_t maxSize, bool range) const {
    UsageDecl d;
    d.page = minSize == 4 ? static_cast<uint16_t>(min >> 16) : 0;
    if (d.page == 0 && maxSize == 4) d.page = static_cast<uint16_t>(max >> 16);
    d.min = static_cast<uint16_t>(min);
    d.max = static_cast<uint16_t>(max);
    d.isRange = range;
    return d;
  }

  bool CompleteRange() {
    if (!local_.haveMin || !local_.haveMax) return true;
    if (local_.usages.size() >= kMaxLocalUsages) return Fail("too many usages");
    UsageDecl d = Decl(local_.min, local_.minSize, local_.max, local_.maxSize, true);
    if (d.max < d.min) return Fail("usage maximum below minimum");
    local_.usages.push_back(d);
    local_.haveMin = local_.haveMax = false;
    return true;
  }

  bool MainItem(uint8_t tag, uint32_t bits) {
    bool ok = true;
    switch (tag) {
      case main_tag::kCollection: ok = OpenCollection(); break;
      case main_tag::kEndCollection:
        if (depth_ == 0) return Fail("end collection without collection");
        --depth_;
        // Items after the end belong to the enclosing collection again.
        link_.resize(static_cast<size_t>(depth_));
        break;
      case main_tag::kInput: ok = DataItem(ReportType::Input, bits); break;
      case main_tag::kOutput: ok = DataItem(ReportType::Output, bits); break;
      case main_tag::kFeature: ok = DataItem(ReportType::Feature, bits); break;
      default: ok = Fail("unknown main item");
    }
    local_ = LocalState{};
    return ok;
  }

  bool OpenCollection() {
    if (depth_ >= kMaxCollectionDepth) return Fail("collections nested too deep");
    if (depth_ == 0) {
      TopLevelCollection c;
      c.usagePage = global_.usagePage;
      if (!local_.usages.empty()) {
        const UsageDecl& u = local_.usages.front();
        if (u.page != 0) c.usagePage = u.page;
        c.usage = u.min;
      }
      collections_.push_back(std::move(c));
      reportsUsed_.emplace_back();
      linkCount_ = 0;
      link_.assign(1, 0);
    } else {
      ++linkCount_;
      link_.resize(static_cast<size_t>(depth_) + 1);
      link_[static_cast<size_t>(depth_)] = linkCount_;
    }
    ++depth_;
    return true;
  }

  int32_t LogicalMax() const {
    // A maximum is unsigned when the minimum is not negative (25 FF means 255).
    if (global_.logicalMin >= 0 && global_.logicalMaxSize < 4)
      return static_cast<int32_t>(global_.logicalMaxRaw);
    return SignExtend(global_.logicalMaxRaw, static_cast<size_t>(global_.logicalMaxSize));
  }

  bool DataItem(ReportType type, uint32_t flags) {
    if (depth_ == 0) return Fail("data item outside a collection");
    if (usesReportIds_ && global_.reportId == 0) return Fail("report without id");
    const uint32_t bits = global_.reportSize * global_.reportCount;
    uint32_t& used = reportBits_[{static_cast<int>(type), global_.reportId}];
    const uint32_t offset = used;
    if (bits > kMaxReportBits || used + bits > kMaxReportBits) return Fail("report too long");
    used += bits;
    TopLevelCollection& top = collections_.back();
    AddReportId(top, global_.reportId);
    reportsUsed_.back().insert({static_cast<int>(type), global_.reportId});

    if ((flags & kConstantBit) || local_.usages.empty() || bits == 0) return true;  // padding

    ReportField base;
    base.type = type;
    base.reportId = global_.reportId;
    base.bitSize = static_cast<uint16_t>(global_.reportSize);
    base.logicalMin = global_.logicalMin;
    base.logicalMax = LogicalMax();
    base.physicalMin = global_.physicalMin;
    base.physicalMax = global_.physicalMax;
    base.linkCollection = link_.empty() ? 0 : link_.back();
    base.isArray = !(flags & kVariableBit);
    base.isButton = base.isArray || global_.reportSize == 1;

    if (base.isArray) {
      // Every slot holds an index into the item's usages.
      uint32_t index = 0;
      for (const UsageDecl& u : local_.usages) {
        ReportField f = base;
        f.usagePage = u.page ? u.page : global_.usagePage;
        f.isRange = u.isRange;
        f.usageMin = u.min;
        f.usageMax = u.max;
        f.bitOffset = offset;
        f.reportCount = static_cast<uint16_t>(global_.reportCount);
        f.arrayIndexBase = index;
        index += u.Count();
        top.fields.push_back(f);
      }
      return true;
    }

    // Variable item: usages are given to the elements in order; when the usages
    // run out, the last capability takes the remaining elements.
    uint32_t element = 0;
    const uint32_t count = global_.reportCount;
    for (size_t i = 0; i < local_.usages.size() && element < count; ++i) {
      const UsageDecl& u = local_.usages[i];
      ReportField f = base;
      f.usagePage = u.page ? u.page : global_.usagePage;
      f.isRange = u.isRange;
      f.usageMin = u.min;
      f.bitOffset = offset + element * global_.reportSize;
      uint32_t take = 1;
      if (u.isRange) {
        take = std::min(u.Count(), count - element);
        f.usageMax = static_cast<uint16_t>(u.min + take - 1);
      } else {
        f.usageMax = u.min;
      }
      if (i + 1 == local_.usages.size() || element + take == count) take = count - element;
      f.reportCount = static_cast<uint16_t>(take);
      element += take;
      top.fields.push_back(f);
    }
    return true;
  }

  static void AddReportId(TopLevelCollection& top, uint8_t id) {
    auto at = std::lower_bound(top.reportIds.begin(), top.reportIds.end(), id);
    if (at == top.reportIds.end() || *at != id) top.reportIds.insert(at, id);
  }

  // A collection's report length is that of its longest report of the type,
  // counting every item of that report id (even items of another collection
  // that share the id, since they travel in the same report).
  void Finish(ParsedDescriptor* out) {
    for (size_t c = 0; c < collections_.size(); ++c) {
      for (const auto& key : reportsUsed_[c]) {
        const uint32_t bits = reportBits_[key];
        const uint32_t bytes = 1 + (bits + 7) / 8;
        uint16_t& length = collections_[c].reportByteLength[key.first];
        length = static_cast<uint16_t>(std::max<uint32_t>(length, bytes));
      }
    }
    out->usesReportIds = usesReportIds_;
    out->collections = std::move(collections_);
  }

  std::span<const uint8_t> bytes_;
  size_t pos_ = 0;
  std::string error_;
  GlobalState global_;
  std::vector<GlobalState> stack_;
  LocalState local_;
  int depth_ = 0;
  uint16_t linkCount_ = 0;
  std::vector<uint16_t> link_;
  bool usesReportIds_ = false;
  std::vector<TopLevelCollection> collections_;
  std::map<std::pair<int, uint8_t>, uint32_t> reportBits_;       // (type, id) -> bits
  std::vector<std::set<std::pair<int, uint8_t>>> reportsUsed_;   // per collection: (type, id)
};

}  // namespace

bool TopLevelCollection::HasReportId(uint8_t id) const {
  if (reportIds.size() == 1 && reportIds.front() == 0) return true;
  return std::binary_search(reportIds.begin(), reportIds.end(), id);
}

std::optional<ParsedDescriptor> ParseReportDescriptor(std::span<const uint8_t> bytes,
                                                      std::string* error) {
  ParsedDescriptor out;
  Parser parser(bytes);
  if (!parser.Run(&out, error)) return std::nullopt;
  return out;
}

bool ExtractBits(std::span<const uint8_t> report, uint32_t bitOffset, uint16_t bitSize,
                 uint32_t* value) {
  const uint32_t size = std::min<uint32_t>(bitSize, 32);
  const uint64_t first = 8 + uint64_t(bitOffset);  // skip the report id byte
  const uint64_t end = first + bitSize;
  if (end > uint64_t(report.size()) * 8) return false;
  uint32_t v = 0;
  for (uint32_t i = 0; i < size; ++i) {
    const uint64_t bit = first + i;
    if (report[static_cast<size_t>(bit / 8)] & (1u << (bit % 8))) v |= 1u << i;
  }
  *value = v;
  return true;
}

}  // namespace hid
