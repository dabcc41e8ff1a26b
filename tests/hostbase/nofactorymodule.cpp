// A shared object that loads but exports no instance factory.
extern "C" int KvtSomethingElse()
{
    return 1;
}
