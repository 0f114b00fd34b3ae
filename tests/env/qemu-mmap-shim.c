/* Preloaded into Wine's 32-bit loader when it runs under qemu-i386 (kernels without
   32-bit emulation). qemu 7 treats MAP_FIXED_NOREPLACE as a plain hint and answers with
   another address; Wine's address-space reservation then recurses over the upper 2 GB
   in 64 KB steps, and each step makes qemu scan its page table: about 50 s per process.
   Refusing those requests at once gives Wine the answer a real kernel gives there. */
typedef unsigned int u32;
extern void *dlsym(void *, const char *);
extern int *__errno_location(void);
typedef void *(*mmap64_fn)(void *, u32, int, int, int, long long);

#define KAVO_MAP_FIXED_NOREPLACE 0x100000
#define KAVO_EEXIST 17
#define KAVO_RTLD_NEXT ((void *)-1)

static mmap64_fn real_mmap64;

static void *shim_mmap(void *addr, u32 len, int prot, int flags, int fd, long long off)
{
    if ((flags & KAVO_MAP_FIXED_NOREPLACE) && (unsigned long)addr >= 0x80000000UL) {
        *__errno_location() = KAVO_EEXIST;
        return (void *)-1;
    }
    if (!real_mmap64)
        real_mmap64 = (mmap64_fn)dlsym(KAVO_RTLD_NEXT, "mmap64");
    return real_mmap64(addr, len, prot, flags, fd, off);
}

void *mmap(void *addr, u32 len, int prot, int flags, int fd, long off)
{
    return shim_mmap(addr, len, prot, flags, fd, off);
}

void *mmap64(void *addr, u32 len, int prot, int flags, int fd, long long off)
{
    return shim_mmap(addr, len, prot, flags, fd, off);
}
