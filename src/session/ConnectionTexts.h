#pragma once
// Lines the connection puts into the log: the desktop's connection steps and the
// browser page's say the same.

namespace vyx {

inline constexpr const char* ConnectionOpenedText = "Conexão aberta...";
inline constexpr const char* ConnectionClosedText = "Conexão fechada...";
inline constexpr const char* ConnectionLostText = "Conexão perdida...";

}  // namespace vyx
