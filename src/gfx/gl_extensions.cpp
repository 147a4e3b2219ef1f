// Loading of the GL extension entry points.
#include "gfx/gl_extensions.h"

#include <cstdio>
#include <cstring>

#include "platform/system.h"
#include "platform/window.h"

namespace kvn::gl {

PFNGLACTIVETEXTUREARBPROC glActiveTextureARB = nullptr;
PFNGLMULTITEXCOORD2FARBPROC glMultiTexCoord2fARB = nullptr;
PFNGLCLIENTACTIVETEXTUREARBPROC glClientActiveTextureARB = nullptr;
PFNGLGENBUFFERSARBPROC glGenBuffersARB = nullptr;
PFNGLBINDBUFFERARBPROC glBindBufferARB = nullptr;
PFNGLBUFFERDATAARBPROC glBufferDataARB = nullptr;
PFNGLDELETEBUFFERSARBPROC glDeleteBuffersARB = nullptr;
PFNGLMAPBUFFERARBPROC glMapBufferARB = nullptr;
PFNGLUNMAPBUFFERARBPROC glUnmapBufferARB = nullptr;
PFNGLGETBUFFERPARAMETERIVARBPROC glGetBufferParameterivARB = nullptr;
PFNGLCREATEPROGRAMOBJECTARBPROC glCreateProgramObjectARB = nullptr;
PFNGLDELETEOBJECTARBPROC glDeleteObjectARB = nullptr;
PFNGLCREATESHADEROBJECTARBPROC glCreateShaderObjectARB = nullptr;
PFNGLSHADERSOURCEARBPROC glShaderSourceARB = nullptr;
PFNGLCOMPILESHADERARBPROC glCompileShaderARB = nullptr;
PFNGLGETOBJECTPARAMETERIVARBPROC glGetObjectParameterivARB = nullptr;
PFNGLATTACHOBJECTARBPROC glAttachObjectARB = nullptr;
PFNGLGETINFOLOGARBPROC glGetInfoLogARB = nullptr;
PFNGLLINKPROGRAMARBPROC glLinkProgramARB = nullptr;
PFNGLUSEPROGRAMOBJECTARBPROC glUseProgramObjectARB = nullptr;
PFNGLGETUNIFORMLOCATIONARBPROC glGetUniformLocationARB = nullptr;
PFNGLUNIFORM1FARBPROC glUniform1fARB = nullptr;
PFNGLUNIFORM1IARBPROC glUniform1iARB = nullptr;
PFNGLGETATTRIBLOCATIONARBPROC glGetAttribLocationARB = nullptr;
PFNGLVERTEXATTRIB1FARBPROC glVertexAttrib1fARB = nullptr;
PFNGLBINDRENDERBUFFEREXTPROC glBindRenderbufferEXT = nullptr;
PFNGLDELETERENDERBUFFERSEXTPROC glDeleteRenderbuffersEXT = nullptr;
PFNGLGENRENDERBUFFERSEXTPROC glGenRenderbuffersEXT = nullptr;
PFNGLRENDERBUFFERSTORAGEEXTPROC glRenderbufferStorageEXT = nullptr;
PFNGLBINDFRAMEBUFFEREXTPROC glBindFramebufferEXT = nullptr;
PFNGLDELETEFRAMEBUFFERSEXTPROC glDeleteFramebuffersEXT = nullptr;
PFNGLGENFRAMEBUFFERSEXTPROC glGenFramebuffersEXT = nullptr;
PFNGLCHECKFRAMEBUFFERSTATUSEXTPROC glCheckFramebufferStatusEXT = nullptr;
PFNGLFRAMEBUFFERTEXTURE2DEXTPROC glFramebufferTexture2DEXT = nullptr;
PFNGLFRAMEBUFFERRENDERBUFFEREXTPROC glFramebufferRenderbufferEXT = nullptr;
PFNGLGETFRAMEBUFFERATTACHMENTPARAMETERIVEXTPROC glGetFramebufferAttachmentParameterivEXT = nullptr;
PFNGLBLITFRAMEBUFFEREXTPROC glBlitFramebufferEXT = nullptr;

namespace {

// Looks one entry point up when its extension is offered; an attached debugger is told.
template <typename Pointer>
void load(Pointer& pointer, const char* name, bool offered, bool tell_debugger) {
    pointer = offered ? reinterpret_cast<Pointer>(kvn::platform::gl_proc_address(name)) : nullptr;
    if (!tell_debugger) return;
    char line[80];
    std::snprintf(line, sizeof line, "ext: %-35s   [%4s]", name, pointer ? "OK" : "FAIL");
    kvn::platform::debug_string(line);
}

bool extension_listed(const char* name) {
    const char* extensions = reinterpret_cast<const char*>(glGetString(GL_EXTENSIONS));
    return extensions && std::strstr(extensions, name);
}

}  // namespace

bool framebuffers_switched_off() {
    static const bool switched_off = kvn::platform::environment_value("KVN_NO_FBO") == "1";
    return switched_off;
}

bool framebuffers_available() {
    return glGenFramebuffersEXT && glGenRenderbuffersEXT && glBindRenderbufferEXT &&
           glRenderbufferStorageEXT && glCheckFramebufferStatusEXT && glBindFramebufferEXT &&
           glDeleteFramebuffersEXT && glDeleteRenderbuffersEXT && glFramebufferTexture2DEXT &&
           glFramebufferRenderbufferEXT;
}

void load_extensions() {
    const bool multitexture = extension_listed("GL_ARB_multitexture");
    const bool fragment_program = extension_listed("GL_ARB_fragment_program");
    const bool debugger = kvn::platform::debugger_attached();
    const bool framebuffers = !framebuffers_switched_off();
    load(glActiveTextureARB, "glActiveTextureARB", multitexture, debugger);
    load(glMultiTexCoord2fARB, "glMultiTexCoord2fARB", multitexture, debugger);
    load(glClientActiveTextureARB, "glClientActiveTextureARB", multitexture, debugger);
    load(glGenBuffersARB, "glGenBuffersARB", multitexture, debugger);
    load(glBindBufferARB, "glBindBufferARB", multitexture, debugger);
    load(glBufferDataARB, "glBufferDataARB", multitexture, debugger);
    load(glDeleteBuffersARB, "glDeleteBuffersARB", multitexture, debugger);
    load(glMapBufferARB, "glMapBufferARB", multitexture, debugger);
    load(glUnmapBufferARB, "glUnmapBufferARB", multitexture, debugger);
    load(glGetBufferParameterivARB, "glGetBufferParameterivARB", multitexture, debugger);
    load(glCreateProgramObjectARB, "glCreateProgramObjectARB", fragment_program, debugger);
    load(glDeleteObjectARB, "glDeleteObjectARB", fragment_program, debugger);
    load(glCreateShaderObjectARB, "glCreateShaderObjectARB", fragment_program, debugger);
    load(glShaderSourceARB, "glShaderSourceARB", fragment_program, debugger);
    load(glCompileShaderARB, "glCompileShaderARB", fragment_program, debugger);
    load(glGetObjectParameterivARB, "glGetObjectParameterivARB", fragment_program, debugger);
    load(glAttachObjectARB, "glAttachObjectARB", fragment_program, debugger);
    load(glGetInfoLogARB, "glGetInfoLogARB", fragment_program, debugger);
    load(glLinkProgramARB, "glLinkProgramARB", fragment_program, debugger);
    load(glUseProgramObjectARB, "glUseProgramObjectARB", fragment_program, debugger);
    load(glGetUniformLocationARB, "glGetUniformLocationARB", fragment_program, debugger);
    load(glUniform1fARB, "glUniform1fARB", fragment_program, debugger);
    load(glUniform1iARB, "glUniform1iARB", fragment_program, debugger);
    load(glGetAttribLocationARB, "glGetAttribLocationARB", fragment_program, debugger);
    load(glVertexAttrib1fARB, "glVertexAttrib1fARB", fragment_program, debugger);
    load(glBindRenderbufferEXT, "glBindRenderbufferEXT", framebuffers, debugger);
    load(glDeleteRenderbuffersEXT, "glDeleteRenderbuffersEXT", framebuffers, debugger);
    load(glGenRenderbuffersEXT, "glGenRenderbuffersEXT", framebuffers, debugger);
    load(glRenderbufferStorageEXT, "glRenderbufferStorageEXT", framebuffers, debugger);
    load(glBindFramebufferEXT, "glBindFramebufferEXT", framebuffers, debugger);
    load(glDeleteFramebuffersEXT, "glDeleteFramebuffersEXT", framebuffers, debugger);
    load(glGenFramebuffersEXT, "glGenFramebuffersEXT", framebuffers, debugger);
    load(glCheckFramebufferStatusEXT, "glCheckFramebufferStatusEXT", framebuffers, debugger);
    load(glFramebufferTexture2DEXT, "glFramebufferTexture2DEXT", framebuffers, debugger);
    load(glFramebufferRenderbufferEXT, "glFramebufferRenderbufferEXT", framebuffers, debugger);
    load(glGetFramebufferAttachmentParameterivEXT, "glGetFramebufferAttachmentParameterivEXT",
         framebuffers, debugger);
    // Not one of the entry points a debugger is told about: its list stays as it was.
    load(glBlitFramebufferEXT, "glBlitFramebufferEXT", framebuffers, false);
    if (!glBlitFramebufferEXT) load(glBlitFramebufferEXT, "glBlitFramebuffer", framebuffers, false);
}

}  // namespace kvn::gl
