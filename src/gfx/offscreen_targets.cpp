// Off-screen target records and their framebuffer objects.
#include "gfx/offscreen_targets.h"

#include <GL/gl.h>
#include <GL/glext.h>

#include <cstdio>

#include "gfx/gl_extensions.h"

namespace kvn {

const OffscreenTarget* OffscreenTargets::framebuffer_target() const {
    if (current_ < 0 || targets_[current_].fb_width == 0) return nullptr;
    return &targets_[current_];
}

void OffscreenTargets::make(int32_t n, int32_t slot, uint32_t texture, int32_t e, int32_t f) {
    OffscreenTarget& target = targets_[n];
    make_framebuffer(&target, texture, e, f);
    target.slot = slot;
    target.created = true;
}

bool OffscreenTargets::make_framebuffer(OffscreenTarget* target, uint32_t texture, int32_t e,
                                        int32_t f) {
    if (!gl::framebuffers_available()) return false;
    GLuint framebuffer = 0, depth = 0;
    gl::glGenFramebuffersEXT(1, &framebuffer);
    if (framebuffer == 0) {
        std::puts("glGenFramebuffersExt failed");
        return false;
    }
    gl::glGenRenderbuffersEXT(1, &depth);
    if (depth == 0) {
        std::puts("glGenRenderbuffersExt failed");
        gl::glDeleteFramebuffersEXT(1, &framebuffer);
        return false;
    }
    gl::glBindRenderbufferEXT(GL_RENDERBUFFER_EXT, depth);
    gl::glRenderbufferStorageEXT(GL_RENDERBUFFER_EXT, GL_DEPTH_COMPONENT24, e, f);

    // The check is made on the new framebuffer with its attachments; the old binding comes
    // back afterwards.
    GLint previous = 0;
    glGetIntegerv(GL_FRAMEBUFFER_BINDING_EXT, &previous);
    gl::glBindFramebufferEXT(GL_FRAMEBUFFER_EXT, framebuffer);
    gl::glFramebufferTexture2DEXT(GL_FRAMEBUFFER_EXT, GL_COLOR_ATTACHMENT0_EXT, GL_TEXTURE_2D,
                                  texture, 0);
    gl::glFramebufferRenderbufferEXT(GL_FRAMEBUFFER_EXT, GL_DEPTH_ATTACHMENT_EXT,
                                     GL_RENDERBUFFER_EXT, depth);
    const GLenum status = gl::glCheckFramebufferStatusEXT(GL_FRAMEBUFFER_EXT);
    gl::glBindFramebufferEXT(GL_FRAMEBUFFER_EXT, static_cast<GLuint>(previous));
    if (status != GL_FRAMEBUFFER_COMPLETE_EXT) {
        std::puts("glCheckFramebufferStatusExt failed");
        gl::glDeleteRenderbuffersEXT(1, &depth);
        gl::glDeleteFramebuffersEXT(1, &framebuffer);
        return false;
    }
    target->framebuffer = framebuffer;
    target->depth_buffer = depth;
    target->fb_width = e;
    target->fb_height = f;
    return true;
}

void OffscreenTargets::select(int32_t n, uint32_t texture) {
    current_ = n;
    OffscreenTarget& target = targets_[n];
    if (target.fb_width == 0) return;
    glGetIntegerv(GL_FRAMEBUFFER_BINDING_EXT, &target.saved_binding);
    gl::glBindFramebufferEXT(GL_FRAMEBUFFER_EXT, target.framebuffer);
    gl::glFramebufferTexture2DEXT(GL_FRAMEBUFFER_EXT, GL_COLOR_ATTACHMENT0_EXT, GL_TEXTURE_2D,
                                  texture, 0);
    if (target.depth_buffer != 0) {
        gl::glBindRenderbufferEXT(GL_RENDERBUFFER_EXT, target.depth_buffer);
        gl::glFramebufferRenderbufferEXT(GL_FRAMEBUFFER_EXT, GL_DEPTH_ATTACHMENT_EXT,
                                         GL_RENDERBUFFER_EXT, target.depth_buffer);
    }
}

void OffscreenTargets::deselect() {
    if (const OffscreenTarget* target = framebuffer_target()) {
        gl::glBindFramebufferEXT(GL_FRAMEBUFFER_EXT, static_cast<GLuint>(target->saved_binding));
    }
    current_ = -1;
}

void OffscreenTargets::release(int32_t n, bool context_ready) {
    OffscreenTarget& target = targets_[n];
    if (target.fb_width != 0 && context_ready) {
        if (gl::glDeleteFramebuffersEXT) gl::glDeleteFramebuffersEXT(1, &target.framebuffer);
        if (target.depth_buffer != 0 && gl::glDeleteRenderbuffersEXT) {
            gl::glDeleteRenderbuffersEXT(1, &target.depth_buffer);
        }
    }
    target = OffscreenTarget();
}

}  // namespace kvn
