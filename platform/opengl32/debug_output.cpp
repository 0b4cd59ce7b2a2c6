// The program's OpenGL debug callback, behind opengl32's relay (debug_output.h).
#include "debug_output.h"

#include <ctype.h>
#include <string.h>

#include <string>

#include "contexts.h"
#include "forward.h"

namespace ilk::opengl32 {
namespace {

// The innermost forwarded call in progress on this thread, or null.
thread_local const ForwardedAs *forwarded = nullptr;

bool IsNameCharacter(char c) { return isalnum((unsigned char)c) || c == '_'; }

// `text` with every whole-word `from` replaced by `to`.
std::string Renamed(std::string text, const char *from, const char *to) {
  const size_t from_size = strlen(from), to_size = strlen(to);
  for (size_t at = text.find(from); at != std::string::npos; at = text.find(from, at)) {
    bool whole = (at == 0 || !IsNameCharacter(text[at - 1])) &&
                 (at + from_size == text.size() || !IsNameCharacter(text[at + from_size]));
    if (whole) {
      text.replace(at, from_size, to);
      at += to_size;
    } else {
      at += from_size;
    }
  }
  return text;
}

// What Mesa calls for every message: Mesa calls it synchronously, on the thread whose current
// context raised the message.
void APIENTRY Relay(GLenum source, GLenum type, GLuint id, GLenum severity, GLsizei length, const GLchar *message,
                    const void *) {
  Context *context = CurrentContext();
  if (!context || !context->debug_callback) return;
  GLDEBUGPROC callback = context->debug_callback;
  const void *user_param = context->debug_user_param;
  if (!forwarded) {
    callback(source, type, id, severity, length, message, user_param);
    return;
  }
  std::string text(message, length >= 0 ? (size_t)length : strlen(message));
  text = Renamed(std::move(text), forwarded->mesa_call(), forwarded->program_call());
  callback(source, type, id, severity, (GLsizei)text.size(), text.c_str(), user_param);
}

}  // namespace

void APIENTRY DebugMessageCallback(GLDEBUGPROC callback, const void *user_param) {
  static const auto mesa = MesaFunction<PFNGLDEBUGMESSAGECALLBACKPROC>("glDebugMessageCallback");
  if (Context *context = CurrentContext()) {
    context->debug_callback = callback;
    context->debug_user_param = user_param;
  }
  mesa(callback ? Relay : nullptr, nullptr);
  static FailurePoint call("glDebugMessageCallback");
  AfterCall(call);
}

void AnswerDebugCallbackQuery(GLenum pname, void **params) {
  Context *context = CurrentContext();
  if (!context || !params) return;
  if (pname == GL_DEBUG_CALLBACK_FUNCTION) *params = reinterpret_cast<void *>(context->debug_callback);
  if (pname == GL_DEBUG_CALLBACK_USER_PARAM) *params = const_cast<void *>(context->debug_user_param);
}

ForwardedAs::ForwardedAs(const char *mesa_call, const char *program_call)
    : mesa_call_(mesa_call), program_call_(program_call), outer_(forwarded) {
  forwarded = this;
}

ForwardedAs::~ForwardedAs() { forwarded = outer_; }

}  // namespace ilk::opengl32
