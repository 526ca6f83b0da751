/* Entry point of the resource-only test module: it holds no code that could run. */
int __stdcall ResourceModuleEntry(void* module, unsigned long reason, void* reserved) {
    (void)module;
    (void)reason;
    (void)reserved;
    return 1;
}
