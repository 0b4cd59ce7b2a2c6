// Forwarding an OpenGL call to Mesa, with the INTERLOCK_FAIL error injection and the trace that
// every OpenGL function opengl32 hands out goes through.
#pragma once

#include <GL/gl.h>

#include <type_traits>

#include "common/knobs.h"

namespace ilk::opengl32 {

// Mesa's entry point `name` through EGL (EGL_KHR_get_all_proc_addresses gives core functions
// too); the dispatch stub it returns follows whichever context is current.
void *MesaProc(const char *name);

// MesaProc as the function-pointer type the caller calls it through.
template <typename Proc>
Proc MesaFunction(const char *name) {
  return reinterpret_cast<Proc>(MesaProc(name));
}

// After the call `call` names has run: traces it and, when INTERLOCK_FAIL names it, raises the
// injected GL error (GL_INVALID_OPERATION or the rule's code) in the current context. Each entry
// point keeps its own FailurePoint.
void AfterCall(FailurePoint &call);

// Forward<Name, Proc>::Call is an entry point of type Proc that calls Mesa's function `Name`.
template <const char *Name, typename Proc>
struct Forward;

template <const char *Name, typename Result, typename... Params>
struct Forward<Name, Result(APIENTRY *)(Params...)> {
  static Result APIENTRY Call(Params... args) {
    static const auto mesa = reinterpret_cast<Result(APIENTRY *)(Params...)>(MesaProc(Name));
    static FailurePoint call(Name);
    if constexpr (std::is_void_v<Result>) {
      mesa(args...);
      AfterCall(call);
    } else {
      Result result = mesa(args...);
      AfterCall(call);
      return result;
    }
  }
};

}  // namespace ilk::opengl32
