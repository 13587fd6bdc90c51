/*
 * Machine-dependent JNI types for building the Windows DLL with a JDK whose
 * own jni_md.h is for another platform: exported natives, the JNI calling
 * convention and the integer types of Windows.
 */
#ifndef JOV_WINDOWS_JNI_MD_H
#define JOV_WINDOWS_JNI_MD_H

#define JNIEXPORT __declspec(dllexport)
#define JNIIMPORT __declspec(dllimport)
#define JNICALL __stdcall

typedef long jint;
typedef __int64 jlong;
typedef signed char jbyte;

#endif
