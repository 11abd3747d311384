#include "admin/security_lock.hpp"

#include <cstring>
#include <optional>

#include "state/device_text.hpp"

namespace veyra {

namespace {

// The typed text in device bytes; nothing when it holds more than the six
// bytes of the password field or characters the device cannot show (a text
// the device cannot store can never be typed on its front panel either).
std::optional<std::string> DevicePassword(std::string_view typed) {
  const EncodedDeviceText encoded = EncodeDeviceText(typed, kLockPasswordBytes);
  if (!encoded.ok()) return std::nullopt;
  return encoded.Bytes;
}

LockResult Finish(ParameterStore& store, DeviceLink& link, const HeldLock& held, LockCheck check,
                  bool locking) {
  LockResult result;
  result.Check = check;
  if (check != LockCheck::Ok) {
    result.Message = LockCheckText(check);
    return result;
  }
  result.Answered = SendLockMessage(store, link);
  if (!result.Answered) PutBackLock(store.System, held);
  result.Message = LockSentText(locking, result.Answered);
  return result;
}

}  // namespace

const char* LockCheckText(LockCheck check) {
  switch (check) {
    case LockCheck::AlreadyLocked:
      return kAlreadyLockText;
    case LockCheck::NotLocked:
      return kCannotLockText;
    case LockCheck::TooLong:
      return kPswTooLongText;
    case LockCheck::WrongPassword:
      return kPswErrorText;
    case LockCheck::Mismatch:
      return kPswMismatchText;
    case LockCheck::Ok:
    case LockCheck::Offline:
      break;
  }
  return "";
}

LockCheck PrepareLock(ParameterStore& store, std::string_view typed,
                      std::optional<std::string_view> confirmation) {
  if (store.Online == 0) return LockCheck::Offline;
  SystemSettings& system = store.System;
  if (system.LockState != 0) return LockCheck::AlreadyLocked;
  const std::optional<std::string> password = DevicePassword(typed);
  if (!password) return LockCheck::TooLong;
  if (confirmation && *confirmation != typed) return LockCheck::Mismatch;
  std::memset(system.LockPassword, 0, sizeof system.LockPassword);
  std::memcpy(system.LockPassword, password->data(), password->size());
  system.LockState = 1;
  return LockCheck::Ok;
}

LockCheck PrepareUnlock(ParameterStore& store, std::string_view typed) {
  if (store.Online == 0) return LockCheck::Offline;
  SystemSettings& system = store.System;
  if (system.LockState == 0) return LockCheck::NotLocked;
  const std::optional<std::string> password = DevicePassword(typed);
  if (!password) return LockCheck::TooLong;
  if (*password != StoredPassword(system)) return LockCheck::WrongPassword;
  system.LockState = 0;
  return LockCheck::Ok;
}

std::string StoredPassword(const SystemSettings& system) {
  std::string stored;
  for (const char c : system.LockPassword)
    if (c != 0) stored += c;
  return stored;
}

HeldLock HoldLock(const SystemSettings& system) {
  HeldLock held;
  std::memcpy(held.Password, system.LockPassword, sizeof held.Password);
  held.State = system.LockState;
  return held;
}

void PutBackLock(SystemSettings& system, const HeldLock& held) {
  std::memcpy(system.LockPassword, held.Password, sizeof held.Password);
  system.LockState = held.State;
}

bool SendLockMessage(ParameterStore& store, DeviceLink& link) {
  return SendFrame(store, link, WriteCommand, store.DeviceId, 0, SystemItem::Lock, SystemBlock, 0);
}

const char* LockSentText(bool locking, bool answered) {
  if (!answered) return kLockNoAnswerText;
  return locking ? kLockSuccessText : kUnlockSuccessText;
}

LockResult LockDevice(ParameterStore& store, DeviceLink& link, std::string_view typed) {
  const HeldLock held = HoldLock(store.System);
  return Finish(store, link, held, PrepareLock(store, typed), true);
}

LockResult UnlockDevice(ParameterStore& store, DeviceLink& link, std::string_view typed) {
  const HeldLock held = HoldLock(store.System);
  return Finish(store, link, held, PrepareUnlock(store, typed), false);
}

}  // namespace veyra
