// The front-panel lock: the rules of Lock and UnLock, the password as the
// device keeps it, and the lock message. The Security dialog and the
// command-line tool both go through these functions, so they refuse the same
// things with the same texts.
//
// An operation is split where the threads split it: the check and the store
// change happen where the store lives (the window's thread), the message goes
// out where the link lives (the link thread, on a copy of the store).
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "link/device_link.hpp"
#include "state/parameter_store.hpp"

namespace veyra {

inline constexpr size_t kLockPasswordBytes = sizeof SystemSettings::LockPassword;  // 6

inline constexpr char kAlreadyLockText[] = "Already Lock.";
inline constexpr char kCannotLockText[] = "Cannot Lock.";  // UnLock while unlocked
inline constexpr char kPswTooLongText[] = "Psw too long.";
inline constexpr char kPswErrorText[] = "Psw error.";
inline constexpr char kLockSuccessText[] = "Lock Successfully.";
inline constexpr char kUnlockSuccessText[] = "UnLock Successfully.";
// Not one of the device's own texts: a lock message that went unanswered must
// not pass in silence, because the store already holds the new lock state.
inline constexpr char kLockNoAnswerText[] = "The device did not answer the lock message.";
// Neither are these: a Lock or UnLock that sends nothing says so.
inline constexpr char kLockOfflineText[] = "The device is offline; nothing was sent.";
inline constexpr char kPswMismatchText[] = "The password and its confirmation differ; nothing was sent.";

enum class LockCheck {
  Ok,             // the store now holds the new lock; send the lock message
  Offline,        // nothing happens, nothing is said
  AlreadyLocked,  // "Already Lock."
  NotLocked,      // "Cannot Lock."
  TooLong,        // "Psw too long." (also a password the device cannot encode)
  WrongPassword,  // "Psw error."
  Mismatch,       // Lock: the confirmation differs from the password
};

// The operator's text of a refusal; empty for Ok and Offline.
const char* LockCheckText(LockCheck check);

// Lock: checks in the order of the rules and, when allowed, sets the password
// (the typed characters in device text, zero-filled to 6 bytes) and LockState
// = 1. A refusal changes nothing. typed is UTF-8. With a confirmation (the
// password typed a second time) the two must be equal, after the length check.
LockCheck PrepareLock(ParameterStore& store, std::string_view typed,
                      std::optional<std::string_view> confirmation = std::nullopt);
// UnLock: the typed text must equal the non-zero bytes of the stored password,
// exactly; when it does, LockState = 0 (the password stays).
LockCheck PrepareUnlock(ParameterStore& store, std::string_view typed);

// The stored password as the comparison sees it: its non-zero bytes, in order.
std::string StoredPassword(const SystemSettings& system);

// The program's lock before a Lock or UnLock changed it. A lock message the
// device did not answer changed nothing there, so the program puts its lock
// back: its controls and a second Lock then agree with the device.
struct HeldLock {
  char Password[kLockPasswordBytes] = {};
  uint8_t State = 0;
};
HeldLock HoldLock(const SystemSettings& system);
void PutBackLock(SystemSettings& system, const HeldLock& held);

// Writes the lock message (system sub-item 0x12: password, lock state) built
// from the store; true when the device answered.
bool SendLockMessage(ParameterStore& store, DeviceLink& link);

// The whole operation on one thread (the command-line tool): the check, the
// store change and, when it was allowed, the lock message.
struct LockResult {
  LockCheck Check = LockCheck::Ok;
  bool Answered = false;  // the lock message was answered (only when Check is Ok)
  std::string Message;    // refusal, success or no-answer text; empty offline
  bool ok() const { return Check == LockCheck::Ok && Answered; }
};
LockResult LockDevice(ParameterStore& store, DeviceLink& link, std::string_view typed);
LockResult UnlockDevice(ParameterStore& store, DeviceLink& link, std::string_view typed);

// The message of an allowed operation once the lock message went out.
const char* LockSentText(bool locking, bool answered);

}  // namespace veyra
