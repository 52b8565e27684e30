#pragma once
// Results of an exchange and of every device command operation.

namespace protocol {

inline constexpr int kOk = 1;                    // success (also while I/O is suppressed)
inline constexpr int kNoReply = 0;               // channel not open, or no matching reply
inline constexpr int kNotWritten = -1;           // the request was not written in time
inline constexpr int kUnreachable = -101;        // the receiver answered for an absent device
inline constexpr int kStatusFailed = -102;       // the device answered with status 0xFF
inline constexpr int kStatusRejected = -103;     // the device answered with status 0xFE
inline constexpr int kKeyMapPageRefused = -201;  // key-map write for a page other than 0

}  // namespace protocol
