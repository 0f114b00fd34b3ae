void kavo_shim_unused(void) {}
