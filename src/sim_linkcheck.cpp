// Linked with the whole simulation library and only the layers beneath it;
// building it is the check (see CMakeLists.txt).
int main()
{
    return 0;
}
