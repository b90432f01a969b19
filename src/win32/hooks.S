# The routines the host's patched sites jump to. Microsoft x64 calling convention: the callee
# may clobber rax, rcx, rdx, r8-r11 and xmm0-xmm5, and needs rsp 16-byte aligned at the call
# with 32 bytes of home area above the return address.
        .intel_syntax noprefix
        .text

# Entered from the glyph site's call (or jump) by way of the stub; the stack is as the site's
# instruction left it. Aligns the stack itself, so the host's alignment at the site does not matter.
        .globl  GlyphHook
        .p2align 4
GlyphHook:
        push    rbp
        mov     rbp, rsp
        and     rsp, -16
        sub     rsp, 32
        mov     rax, [rip + vykcnHostFontPointer]
        mov     rax, [rax]                                  # the live HostFont
        mov     rcx, rax
        add     rcx, [rip + vykcnHostFontGlyphArrayOffset]  # &font->glyphArray
        mov     rdx, rax
        add     rdx, [rip + vykcnHostFontGlyphCountOffset]  # &font->glyphCount
        call    VykcnReplaceGlyphTable
        mov     rsp, rbp
        pop     rbp
        mov     rax, [rip + vykcnHostContinue]
        jmp     rax                                         # HostContinue returns to the host

        .globl  SubtitleHook
        .p2align 4
SubtitleHook:
        push    rbp
        mov     rbp, rsp
        and     rsp, -16
        sub     rsp, 32
        mov     rax, [rip + vykcnHostSubtitlePointer]
        mov     rcx, [rax]                                  # address of the current-subtitle pointer
        call    VykcnReplaceSubtitlePointer
        mov     rsp, rbp
        pop     rbp
        mov     rax, [rip + vykcnHostContinue]
        jmp     rax

# Entered by the stub's jump in the middle of the host's dialogue routine, where rsp is 16-byte
# aligned and the 32 bytes above it are free: the call runs on the host's stack as it is.
        .globl  DialogueTrampoline
        .p2align 4
DialogueTrampoline:
        mov     rcx, rbx
        call    VykcnReplaceSubtitle
        mov     rbx, rax                                    # the translation, or the same text
        mov     ecx, [r14]                                  # the three displaced instructions
        lea     r8, [rsp + 0xB0]
        mov     r9d, 1024
        mov     rax, [rip + vykcnDialogueResume]
        jmp     rax
