#pragma once

#include <cstdint>

#include "support/Clock.h"

// Playback time: the engine's milliseconds summed while playing, each stretch at the speed it had.
class CReplayClock {
 public:
  static constexpr double kMinSpeed = 0.1;
  static constexpr double kMaxSpeed = 1000.0;

  void Start(uint32_t nowMs) {
    m_playedMs = 0.0;
    m_lastMs = nowMs;
    m_paused = false;
  }
  void Pause(uint32_t nowMs) {
    Catch(nowMs);
    m_paused = true;
  }
  void Resume(uint32_t nowMs) {
    Catch(nowMs);
    m_paused = false;
  }
  // From now on time runs this many times faster; what has been played stays.
  void SetSpeed(uint32_t nowMs, double speed) {
    Catch(nowMs);
    m_speed = speed;
  }
  // Playback seconds since Start.
  [[nodiscard]] double Played(uint32_t nowMs) {
    Catch(nowMs);
    return m_playedMs / 1000.0;
  }
  [[nodiscard]] double Speed() const { return m_speed; }
  [[nodiscard]] bool Paused() const { return m_paused; }

 private:
  void Catch(uint32_t nowMs) {
    const int32_t elapsed = vorn::ElapsedMs(nowMs, m_lastMs);
    if (!m_paused && elapsed > 0) m_playedMs += elapsed * m_speed;
    if (elapsed > 0) m_lastMs = nowMs;
  }

  double m_playedMs = 0.0;
  uint32_t m_lastMs = 0;
  double m_speed = 1.0;
  bool m_paused = false;
};
